// The host's programs allocate through jemalloc on Linux (the build links it
// with this file). jemalloc reads this setting as it starts: memory in
// transparent huge pages, so that building a large project's model takes a
// few hundred page faults instead of tens of thousands.
extern "C" {
__attribute__((visibility("default"))) extern const char* malloc_conf;
const char* malloc_conf = "thp:always,metadata_thp:auto";
}
