// A large synthetic project for the benchmarks.
#pragma once

#include <memory>

#include "project.h"

namespace drvx::bench {

struct ProjectSize {
  int classes = 20000;
  int membersPerClass = 10;
  int diagrams = 2000;
  int symbolsPerDiagram = 100;
  int hyperlinksPerSymbol = 2;
  // The first diagrams carry documentation, one-liners and associations.
  int documentedDiagrams = 100;
  int associationsPerDiagram = 10;
};

// Classes with fields and methods (with code), diagrams of every kind whose
// symbols link to a class and to another diagram; on the first diagrams some
// symbols and associations carry documentation and one-liners.
std::unique_ptr<modelhost::ModelProject> MakeSyntheticProject(const ProjectSize& size);

}  // namespace drvx::bench
