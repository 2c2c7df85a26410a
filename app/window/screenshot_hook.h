// A developer's aid: saves a picture of one page of the window after the gathering, then
// quits. Driven by the environment so that it never shows up as a user option:
//   TAVRIN_SCREENSHOT=FILE.png [TAVRIN_SCREENSHOT_PAGE=perfinfo] [TAVRIN_SCREENSHOT_DELAY_MS=N]
//   xvfb-run -s "-screen 0 1366x768x24" tavrin --replay SNAPSHOT
#pragma once

namespace tavrin::window {

class TfrmSysInfo;

/// Shows the asked page and sizes the window; false when no screenshot is asked for.
bool ArmScreenshot(TfrmSysInfo& window);
/// Called after every gathering phase: takes the picture once the page had time to draw.
void ScreenshotAfterGathering(TfrmSysInfo& window);

}  // namespace tavrin::window
