// The history graphs move what is already drawn and paint only the strip they uncover; what
// ends up on the screen must be what a full repaint draws.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include "app/window/load_graphs.h"

namespace tavrin::window {
namespace {

QImage OnScreen(QWidget& widget) {
  QCoreApplication::processEvents();
  return widget.screen()->grabWindow(widget.winId()).toImage();
}

TEST(HistoryGraph, ScrolledStepsShowWhatAFullRepaintDraws) {
  HistoryGraph graph;
  graph.SetScale("512 MB", "0 MB");
  graph.resize(170, 90);
  graph.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
  // Jumps up and down, a flat run and the extremes: each step's line and the marker dots
  // must join what was moved.
  for (int step = 0; step < 70; ++step) {
    graph.SetDynamicValue(step % 9 == 0 ? 100 : step % 13 == 0 ? 0 : (step * 37) % 61 + 20);
    graph.RepaintGrid();
    QCoreApplication::processEvents();
  }
  const QImage stepped = OnScreen(graph);
  graph.repaint();
  const QImage full = OnScreen(graph);
  ASSERT_FALSE(full.isNull());
  EXPECT_EQ(stepped, full);

  // A hidden graph keeps its history without drawing it.
  graph.hide();
  graph.SetDynamicValue(42);
  graph.RepaintGrid();
  EXPECT_EQ(graph.points().back(), 42);
}

}  // namespace
}  // namespace tavrin::window
