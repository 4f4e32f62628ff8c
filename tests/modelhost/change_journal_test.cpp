// The changes the plug-ins make to a project, gathered for the host's faces.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "diagram_generator.h"
#include "modelhost/bound_session.h"

namespace {

using namespace drvx;
using ChangeJournal = test::BoundSession;

// The listener hears of the first change after each Take, and Take tells
// what changed.
TEST_F(ChangeJournal, ChangesAreGatheredAndToldOnceUntilTaken) {
  int told = 0;
  session.SetChangeListener([&told] { ++told; });
  ASSERT_GT(sequence::TDiagramGenerator(host::Services::Of(session.Services())).GenSqDg("sqLive", {"A", "B.x", "C.y"}), 0);
  const modelhost::ModelDiagram& d = *session.Project().diagrams.back();
  EXPECT_EQ(told, 1);
  modelhost::ModelChanges changes = session.Project().changes.Take();
  EXPECT_THAT(changes.added, ::testing::ElementsAre(d.ElementId()));
  EXPECT_TRUE(changes.elements);
  EXPECT_EQ(changes.diagrams.count(d.ElementId()), 1u);
  EXPECT_TRUE(session.Project().changes.Take().Empty());
  ASSERT_EQ(d.symbols.front()->SetCaption(u"Z", 1), mmapi::MM_OK);
  EXPECT_EQ(told, 2);
  changes = session.Project().changes.Take();
  EXPECT_FALSE(changes.elements);
  EXPECT_THAT(changes.diagrams, ::testing::ElementsAre(d.ElementId()));
  session.SetChangeListener(nullptr);
}

}  // namespace
