// The main window's plain logic: layout for any picture size, texts by product presence,
// the label table, the hit test, the message decisions, the setup-program name check, the
// window sizing and the stored links.
#include "shell/window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "install/payload.h"
#include "shell/layout.h"
#include "shell/links.h"
#include "shell/window_logic.h"
#include "system/os_version.h"

namespace {

::testing::AssertionResult SameRect(const LayoutRect& got, const LayoutRect& want) {
  if (got.left == want.left && got.top == want.top && got.right == want.right &&
      got.bottom == want.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got (" << got.left << ", " << got.top << ", " << got.right << ", " << got.bottom
         << "), expected (" << want.left << ", " << want.top << ", " << want.right << ", "
         << want.bottom << ")";
}

LayoutRect AsLayout(const ButtonRect& b) {
  return {b.left, b.top, b.right, b.bottom};
}

// A context as after the first painting of a 900 x 424 picture.
std::unique_ptr<InstallerContext> PaintedContext(int workerRunning) {
  auto context = std::make_unique<InstallerContext>();
  std::memset(context.get(), 0, sizeof *context);
  context->backgroundWidth = 900;
  context->backgroundHeight = 424;
  context->buttonRect = ComputeLayout(900, 424).button;
  context->workerRunning = workerRunning;
  return context;
}

uint32_t MouseParam(int x, int y) {
  return (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x);
}

}  // namespace

TEST(WindowLayout, ThePictureOf900By424) {
  const WindowLayout l = ComputeLayout(900, 424);
  EXPECT_TRUE(SameRect(l.picture, {0, 0, 900, 424}));
  EXPECT_TRUE(SameRect(l.labelShadow, {21, 391, 740, 424}));
  EXPECT_TRUE(SameRect(l.label, {20, 390, 740, 424}));
  EXPECT_TRUE(SameRect(l.band, {0, 424, 901, 525}));
  EXPECT_TRUE(SameRect(l.firstSentence, {20, 454, 900, 524}));
  EXPECT_TRUE(SameRect(l.secondSentence, {20, 474, 900, 524}));
  EXPECT_TRUE(SameRect(AsLayout(l.button), {580, 444, 880, 504}));
  EXPECT_TRUE(SameRect(l.buttonShape, {580, 444, 881, 505}));
  EXPECT_TRUE(SameRect(l.busyWord, {580, 444, 880, 489}));
  EXPECT_TRUE(SameRect(l.stepText, {580, 484, 880, 504}));
  int w = 0, h = 0;
  ClientSizeFor(900, 424, &w, &h);
  EXPECT_EQ(w, 900);
  EXPECT_EQ(h, 524);
}

TEST(WindowLayout, FollowsAnotherPictureSize) {
  // The label keeps its fixed top-left corner; everything else moves with W and H.
  const WindowLayout l = ComputeLayout(640, 480);
  EXPECT_TRUE(SameRect(l.picture, {0, 0, 640, 480}));
  EXPECT_TRUE(SameRect(l.labelShadow, {21, 391, 480, 480}));
  EXPECT_TRUE(SameRect(l.label, {20, 390, 480, 480}));
  EXPECT_TRUE(SameRect(l.band, {0, 480, 641, 581}));
  EXPECT_TRUE(SameRect(l.firstSentence, {20, 510, 640, 580}));
  EXPECT_TRUE(SameRect(l.secondSentence, {20, 530, 640, 580}));
  EXPECT_TRUE(SameRect(AsLayout(l.button), {320, 500, 620, 560}));
  EXPECT_TRUE(SameRect(l.buttonShape, {320, 500, 621, 561}));
  EXPECT_TRUE(SameRect(l.busyWord, {320, 500, 620, 545}));
  EXPECT_TRUE(SameRect(l.stepText, {320, 540, 620, 560}));
  int w = 0, h = 0;
  ClientSizeFor(640, 480, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 580);
}

TEST(WindowTexts, ByProductPresence) {
  EXPECT_STREQ(ActionCaption(0), "Install");
  EXPECT_STREQ(ActionCaption(1), "Remove");
  EXPECT_STREQ(FirstSentence(0), "Ready to install ? Click the button right there...");
  EXPECT_STREQ(SecondSentence(0), "it will install QX-Audio Mixarro on your system...");
  EXPECT_STREQ(FirstSentence(1), "Mixarro is already installed...");
  EXPECT_STREQ(SecondSentence(1),
               "previous version has to be removed before installing new one...");
  EXPECT_STREQ(BUSY_WORD, "Installing");
}

TEST(WindowTexts, OperatingSystemLabels) {
  struct Case {
    int code;
    const char* label;
  };
  const Case cases[] = {
      {-2, "O/S: unknown"},    {-1, "O/S: unknown"}, {0, "O/S: < XP"},    {1, "O/S: WIN XP"},
      {2, "O/S: Server 2003"}, {3, "O/S: VISTA"},    {4, "O/S: WIN7"},    {5, "O/S: WIN8"},
      {6, "O/S: WIN8.1"},      {7, "O/S: WIN10"},    {8, "O/S: > WIN10"}, {9, "O/S: unknown"},
  };
  for (const Case& c : cases) EXPECT_STREQ(OsCodeLabel(c.code), c.label) << "code " << c.code;
}

TEST(WindowClicks, HitTestIsStrictlyInsideTheButton) {
  const ButtonRect b = ComputeLayout(900, 424).button;
  struct Case {
    int x, y, inside;
  };
  const Case cases[] = {
      {580, 470, 0}, {880, 470, 0}, {700, 444, 0}, {700, 504, 0},  // on the border
      {581, 470, 1}, {879, 470, 1}, {700, 445, 1}, {700, 503, 1},  // just inside
      {581, 445, 1}, {879, 503, 1}, {580, 444, 0}, {880, 504, 0},  // corners
      {579, 470, 0}, {881, 470, 0}, {700, 443, 0}, {700, 505, 0},  // just outside
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsInsideButton(b, c.x, c.y), c.inside) << "(" << c.x << ", " << c.y << ")";
}

TEST(WindowClicks, ClickDecisions) {
  struct Case {
    int running, x, y;
    ClickAction action;
  };
  const Case cases[] = {
      {0, 700, 470, CLICK_PRESS_BUTTON},      {1, 700, 470, CLICK_NOTHING},
      {0, 580, 470, CLICK_NOTHING},           {0, 100, 100, CLICK_OPEN_PICTURE_LINK},
      {0, 899, 423, CLICK_OPEN_PICTURE_LINK}, {0, 100, 424, CLICK_NOTHING},
      {1, 100, 100, CLICK_NOTHING},           {0, 100, 500, CLICK_NOTHING},
  };
  for (const Case& c : cases) {
    auto context = PaintedContext(c.running);
    EXPECT_EQ(DecideClick(*context, c.x, c.y), c.action)
        << "running " << c.running << " at (" << c.x << ", " << c.y << ")";
  }
}

TEST(WindowClicks, BeforeTheFirstDrawingNoButtonIsHit) {
  auto context = PaintedContext(0);
  context->buttonRect = {0, 0, 0, 0};
  EXPECT_EQ(DecideClick(*context, 700, 470), CLICK_NOTHING);
  EXPECT_EQ(DecideClick(*context, 0, 0), CLICK_OPEN_PICTURE_LINK);
}

TEST(WindowClicks, SignedMouseCoordinates) {
  EXPECT_EQ(MouseX(MouseParam(700, 470)), 700);
  EXPECT_EQ(MouseY(MouseParam(700, 470)), 470);
  // Captured or multi-monitor positions left of or above the client area are negative.
  EXPECT_EQ(MouseX(MouseParam(-5, 3)), -5);
  EXPECT_EQ(MouseY(MouseParam(3, -7)), -7);
  auto context = PaintedContext(0);
  EXPECT_EQ(DecideClick(*context, 10, MouseY(MouseParam(10, -7))), CLICK_OPEN_PICTURE_LINK);
}

TEST(WindowCursor, HandOverEveryPictureRow) {
  auto context = PaintedContext(0);
  EXPECT_EQ(ShowsHandCursor(*context, 0), 1);
  EXPECT_EQ(ShowsHandCursor(*context, 423), 1);
  EXPECT_EQ(ShowsHandCursor(*context, 424), 0);
  EXPECT_EQ(ShowsHandCursor(*context, 470), 0);
}

TEST(WindowKeys, EnterEscapeAndCloseByWorkerState) {
  struct Case {
    int running, key;
    KeyAction action;
  };
  const Case cases[] = {
      {0, VK_CODE_ENTER, KEY_PRESS_BUTTON},
      {1, VK_CODE_ENTER, KEY_NOTHING},
      {0, VK_CODE_ESCAPE, KEY_POST_CLOSE},
      {1, VK_CODE_ESCAPE, KEY_POST_CLOSE},
      {0, 32, KEY_NOTHING},
      {0, 'I', KEY_NOTHING},
  };
  for (const Case& c : cases) {
    auto context = PaintedContext(c.running);
    EXPECT_EQ(DecideKey(*context, c.key), c.action) << "running " << c.running << " key " << c.key;
  }
  // The Escape's close request is what the running worker refuses.
  EXPECT_EQ(AcceptsClose(*PaintedContext(0)), 1);
  EXPECT_EQ(AcceptsClose(*PaintedContext(1)), 0);
}

TEST(WindowCommands, NoticesSwitchRunAndForeignSetup) {
  struct Case {
    uintptr_t wParam;
    intptr_t lParam;
    int hidden;
    CommandAction action;
  };
  const Case cases[] = {
      {180, 127, 0, COMMAND_ERROR_BOX},
      {180, 128, 0, COMMAND_DONE_BOX},
      {180, 129, 0, COMMAND_NOTHING},
      {180, 127, 1, COMMAND_NOTHING},
      {180, 128, 1, COMMAND_NOTHING},
      {0x00010000 | 180, 127, 0, COMMAND_ERROR_BOX},  // high word of wParam not looked at
      {180, 0x10000 | 127, 0, COMMAND_NOTHING},       // lParam compared whole
      {165, 101, 0, COMMAND_SWITCH_RUN},
      {165, 101, 1, COMMAND_SWITCH_RUN},
      {165, 100, 0, COMMAND_NOTHING},
      {165, 0, 1, COMMAND_NOTHING},
      {1492, 0, 0, COMMAND_FOREIGN_SETUP_BOX},
      {181, 127, 0, COMMAND_NOTHING},
      {0, 0, 0, COMMAND_NOTHING},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecideCommand(c.wParam, c.lParam, c.hidden), c.action)
        << "wParam " << c.wParam << " lParam " << c.lParam << " hidden " << c.hidden;
}

TEST(WindowCommands, SwitchRunAndCreationChoices) {
  struct RunCase {
    int present, install, same;
    SwitchRunAction action;
  };
  const RunCase runs[] = {
      {1, 0, 1, SWITCH_RUN_UNINSTALL},
      {1, 1, 1, SWITCH_RUN_UNINSTALL},  // -i with the product present removes
      {0, 1, 1, SWITCH_RUN_INSTALL},
      {0, 0, 1, SWITCH_RUN_NOTHING},  // -u without the product: exit 0
      // Another setup program's product: refused whichever switch, as a click is.
      {1, 0, 0, SWITCH_RUN_REFUSE_FOREIGN},
      {1, 1, 0, SWITCH_RUN_REFUSE_FOREIGN},
      // Without the product the entry does not matter.
      {0, 1, 0, SWITCH_RUN_INSTALL},
      {0, 0, 0, SWITCH_RUN_NOTHING},
  };
  for (const RunCase& c : runs)
    EXPECT_EQ(DecideSwitchRun(c.present, c.install, c.same), c.action)
        << "present " << c.present << " install " << c.install << " same " << c.same;
  struct Case {
    int install, uninstall, present;
    CreationPost post;
  };
  const Case cases[] = {
      {0, 0, 0, CREATION_POST_NOTHING},    {0, 0, 1, CREATION_CHECK_SETUP},
      {1, 0, 0, CREATION_POST_SWITCH_RUN}, {0, 1, 0, CREATION_POST_SWITCH_RUN},
      {1, 0, 1, CREATION_POST_SWITCH_RUN}, {0, 1, 1, CREATION_POST_SWITCH_RUN},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecideCreationPost(c.install, c.uninstall, c.present), c.post)
        << "i " << c.install << " u " << c.uninstall << " present " << c.present;
}

TEST(WindowTimer, BlinksOnlyWhileTheWorkerRuns) {
  EXPECT_EQ(DrawsBlinkTick(*PaintedContext(1), BLINK_TIMER_ID), 1);
  EXPECT_EQ(DrawsBlinkTick(*PaintedContext(0), BLINK_TIMER_ID), 0);
  EXPECT_EQ(DrawsBlinkTick(*PaintedContext(1), BLINK_TIMER_ID + 1), 0);
  EXPECT_EQ(BlinkPhase(1), 1);
  EXPECT_EQ(BlinkPhase(2), 0);
  EXPECT_EQ(BlinkPhase(3), 1);
}

TEST(SetupProgramCheck, ComparesFileNamesOnly) {
  struct Case {
    const char* own;
    const char* stored;
    int same;
  };
  const Case cases[] = {
      {"C:\\Downloads\\MixarroSetup.exe", "C:\\Program Files\\QX\\Mixarro\\MixarroSetup.exe", 1},
      {"C:\\Downloads\\MixarroSetup.exe", "\"C:\\Program Files\\QX\\Mixarro\\MixarroSetup.exe\"",
       1},
      {"C:\\Downloads\\MixarroSetup.exe", "\"C:\\Program Files\\QX\\Mixarro\\MIXARROSETUP.EXE\"",
       1},
      {"C:\\Downloads\\MixarroSetup.exe", "C:\\Program Files\\QX\\Mixarro\\OtherSetup.exe", 0},
      {"C:\\Downloads\\MixarroSetup.exe", "\"C:\\Program Files\\QX\\Mixarro\\OtherSetup.exe\"", 0},
      {"C:\\Downloads\\MixarroSetup.exe", "MixarroSetup.exe", 1},
      {"MixarroSetup.exe", "\"MixarroSetup.exe\"", 1},
      {"C:\\a\\MixarroSetup.exe", "\"C:\\b\\MixarroSetup.exe", 1},  // lone quote: folder part
      {"C:\\a\\MixarroSetup.exe", "C:\\b\\MixarroSetup.exe\"", 0},
      {"C:\\a\\MixarroSetup.exe", "\"\"C:\\b\\MixarroSetup.exe\"\"", 0},  // one pair only
      {"C:\\a\\MixarroSetup.exe", "\"\"", 1},               // nothing named: not foreign
      {"C:\\a\\Setup\xC9.exe", "C:\\b\\Setup\xE9.exe", 0},  // ASCII case only
  };
  for (const Case& c : cases)
    EXPECT_EQ(NamesSameSetupProgram(c.own, c.stored), c.same)
        << "own [" << c.own << "] stored [" << c.stored << "]";
}

TEST(SetupProgramCheck, StripsOnePairOfEnclosingQuotes) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"\"a b\"", "a b"}, {"\"\"", ""},   {"\"", "\""},           {"", ""},
      {"a\"", "a\""},     {"\"a", "\"a"}, {"\"\"x\"\"", "\"x\""},
  };
  for (const Case& c : cases) {
    char text[32];
    std::strcpy(text, c.in);
    StripEnclosingQuotes(text);
    EXPECT_STREQ(text, c.out) << "in [" << c.in << "]";
  }
}

TEST(WindowSize, FormulaAndClientCorrection) {
  int w = 0, h = 0;
  FormulaWindowSize(900, 424, 1, 18, &w, &h);
  EXPECT_EQ(w, 902);
  EXPECT_EQ(h, 544);
  // Under Wine the formula's window got a 896 x 519 client area (3-pixel frames, 22-pixel top).
  int nw = 0, nh = 0;
  CorrectedWindowSize(902, 544, 896, 519, 900, 524, &nw, &nh);
  EXPECT_EQ(nw, 906);
  EXPECT_EQ(nh, 549);
  // Too large a window shrinks; an exact one stays.
  CorrectedWindowSize(920, 560, 910, 530, 900, 524, &nw, &nh);
  EXPECT_EQ(nw, 910);
  EXPECT_EQ(nh, 554);
  CorrectedWindowSize(906, 549, 900, 524, 900, 524, &nw, &nh);
  EXPECT_EQ(nw, 906);
  EXPECT_EQ(nh, 549);
}

TEST(StoredLinks, DecodeToTheVendorsPages) {
  struct Case {
    const uint8_t* stored;
    int length;
    const char* text;
  };
  const Case cases[] = {
      {PICTURE_LINK, PICTURE_LINK_SIZE, "https://qx-audio.com/mixer"},
      {COMPLETION_LINK, COMPLETION_LINK_SIZE, "https://www.qx-audio.com/mixarro/first-steps.html"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(std::strlen(c.text) + 1, static_cast<size_t>(c.length)) << c.text;
    char buffer[LINK_BUFFER_SIZE];
    std::memset(buffer, 'x', sizeof buffer);
    ASSERT_EQ(DescrambleLink(c.stored, c.length, buffer), 1);
    EXPECT_STREQ(buffer, c.text);
    // Stored scrambled: the plain address is not in the program's data.
    EXPECT_NE(std::memcmp(c.stored, c.text, 8), 0);
  }
}

TEST(StoredLinks, RefusesTooLongATextAndStaysTerminated) {
  static uint8_t big[LINK_BUFFER_SIZE + 1];
  char buffer[LINK_BUFFER_SIZE];
  std::memset(buffer, 'q', sizeof buffer);
  EXPECT_EQ(DescrambleLink(big, LINK_BUFFER_SIZE + 1, buffer), 0);
  EXPECT_EQ(buffer[0], 'q');
  std::memset(big, 0x5A, sizeof big);  // descrambles to no zero at all
  EXPECT_EQ(DescrambleLink(big, LINK_BUFFER_SIZE, buffer), 1);
  EXPECT_EQ(buffer[LINK_BUFFER_SIZE - 1], '\0');
}
