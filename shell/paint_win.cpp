#include "drivers/presence.h"
#include "ground/paths.h"
#include "shell/layout.h"
#include "shell/paint.h"
#include "shell/texts.h"
#include "system/ansi_paths.h"
#include "system/os_version.h"

namespace {

constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF GREY = RGB(100, 100, 100);
constexpr int PICTURE_RESOURCE_ID = 101;

HFONT CreateArial(int height, int weight) {
  LOGFONTA font;
  ZeroBytes(&font, sizeof font);
  font.lfHeight = height;
  font.lfWeight = weight;
  CopyText(font.lfFaceName, sizeof font.lfFaceName, BAND_FONT);
  return CreateFontIndirectA(&font);
}

void DeleteIfAny(HGDIOBJ* object) {
  if (*object) DeleteObject(*object);
  *object = nullptr;
}

void DrawTextIn(HDC dc, const char* text, const LayoutRect& r, UINT format) {
  RECT rect = {r.left, r.top, r.right, r.bottom};
  DrawTextA(dc, text, -1, &rect, format);
}

WindowLayout LayoutOf(const InstallerContext& context) {
  return ComputeLayout(context.backgroundWidth, context.backgroundHeight);
}

}  // namespace

int PrepareWindowResources(InstallerContext& context) {
  context.statusFont = CreateArial(16, FW_EXTRABOLD);
  context.buttonFont = CreateArial(40, FW_NORMAL);
  context.osLabelFont = CreateArial(28, FW_NORMAL);
  context.backgroundBitmap = LoadBitmapA(context.hInstance, MAKEINTRESOURCEA(PICTURE_RESOURCE_ID));
  BITMAP picture;
  ZeroBytes(&picture, sizeof picture);
  GetObjectA(context.backgroundBitmap, sizeof picture, &picture);
  context.backgroundWidth = picture.bmWidth;
  context.backgroundHeight = picture.bmHeight;
  context.handCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
  context.osCode = DetectOsCode();
  context.setupPathReach = ReadOwnProgramPath(context.setupPath, sizeof context.setupPath);
  ProbeProductPresent(context);
  return context.productPresent;
}

int ReleaseWindowResources(InstallerContext& context) {
  DeleteIfAny(reinterpret_cast<HGDIOBJ*>(&context.backgroundBitmap));
  DeleteIfAny(reinterpret_cast<HGDIOBJ*>(&context.statusFont));
  DeleteIfAny(reinterpret_cast<HGDIOBJ*>(&context.buttonFont));
  DeleteIfAny(reinterpret_cast<HGDIOBJ*>(&context.osLabelFont));
  return 0;
}

void DrawBackground(HDC dc, int x, int y, HBITMAP bitmap) {
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BITMAP info;
  ZeroBytes(&info, sizeof info);
  GetObjectA(bitmap, sizeof info, &info);
  BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
}

void DrawActionButton(InstallerContext& context, HWND, HDC dc, int pressed) {
  const WindowLayout layout = LayoutOf(context);
  context.buttonRect = layout.button;
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(pressed ? BLACK_BRUSH : WHITE_BRUSH));
  SetTextColor(dc, pressed ? WHITE : BLACK);
  const LayoutRect& shape = layout.buttonShape;
  RoundRect(dc, shape.left, shape.top, shape.right, shape.bottom, BUTTON_CORNER, BUTTON_CORNER);
  HGDIOBJ oldFont = SelectObject(dc, context.buttonFont);
  SetBkMode(dc, TRANSPARENT);
  const ButtonRect& b = layout.button;
  DrawTextIn(dc, ActionCaption(context.productPresent), {b.left, b.top, b.right, b.bottom},
             DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

void DrawBusyButton(InstallerContext& context, HDC dc, int phase) {
  const WindowLayout layout = LayoutOf(context);
  context.buttonRect = layout.button;
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  HGDIOBJ oldFont = SelectObject(dc, context.buttonFont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, WHITE);
  const LayoutRect& shape = layout.buttonShape;
  RoundRect(dc, shape.left, shape.top, shape.right, shape.bottom, BUTTON_CORNER, BUTTON_CORNER);
  if (phase == 1)
    DrawTextIn(dc, BUSY_WORD, layout.busyWord, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  SelectObject(dc, context.statusFont);
  // The worker may be rewriting statusLine right now: take a bounded, terminated copy.
  char step[STEP_TEXT_CAPACITY];
  CopyBytes(step, context.statusLine, sizeof step);
  step[sizeof step - 1] = '\0';
  DrawTextIn(dc, step, layout.stepText, DT_SINGLELINE | DT_CENTER);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

void DrawStatusBand(InstallerContext& context, HWND, HDC dc) {
  const WindowLayout layout = LayoutOf(context);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, layout.band.left, layout.band.top, layout.band.right, layout.band.bottom);
  HGDIOBJ oldFont = SelectObject(dc, context.statusFont);
  SetTextColor(dc, BLACK);
  SetBkMode(dc, TRANSPARENT);
  DrawTextIn(dc, FirstSentence(context.productPresent), layout.firstSentence, DT_SINGLELINE);
  SetTextColor(dc, GREY);
  DrawTextIn(dc, SecondSentence(context.productPresent), layout.secondSentence, DT_SINGLELINE);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

void PaintMainWindow(InstallerContext& context, HWND window, HDC dc) {
  const WindowLayout layout = LayoutOf(context);
  HGDIOBJ oldFont = SelectObject(dc, context.osLabelFont);
  SetBkMode(dc, TRANSPARENT);
  const char* label = OsCodeLabel(context.osCode);
  SetTextColor(dc, BLACK);
  DrawTextIn(dc, label, layout.labelShadow, DT_SINGLELINE);
  SetTextColor(dc, WHITE);
  DrawTextIn(dc, label, layout.label, DT_SINGLELINE);
  SelectObject(dc, oldFont);
  DrawStatusBand(context, window, dc);
  DrawActionButton(context, window, dc, 0);
}
