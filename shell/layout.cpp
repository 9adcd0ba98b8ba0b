#include "shell/layout.h"

#include "shell/texts.h"

WindowLayout ComputeLayout(int width, int height) {
  WindowLayout l;
  l.picture = {0, 0, width, height};
  l.labelShadow = {21, 391, width - 160, height};
  l.label = {20, 390, width - 160, height};
  l.band = {0, height, width + 1, height + STATUS_BAND_HEIGHT + 1};
  l.firstSentence = {20, height + 30, width, height + STATUS_BAND_HEIGHT};
  l.secondSentence = {20, height + 50, width, height + STATUS_BAND_HEIGHT};
  l.button = {width - 320, height + 20, width - 20, height + 80};
  l.buttonShape = {l.button.left, l.button.top, l.button.right + 1, l.button.bottom + 1};
  l.busyWord = {l.button.left, l.button.top, l.button.right, l.button.bottom - 15};
  l.stepText = {l.button.left, l.button.bottom - 20, l.button.right, l.button.bottom};
  return l;
}

void ClientSizeFor(int width, int height, int* clientWidth, int* clientHeight) {
  if (clientWidth) *clientWidth = width;
  if (clientHeight) *clientHeight = height + STATUS_BAND_HEIGHT;
}

const char* ActionCaption(int productPresent) {
  return productPresent ? REMOVE_WORD : INSTALL_WORD;
}

const char* FirstSentence(int productPresent) {
  return productPresent ? PRESENT_FIRST_SENTENCE : READY_FIRST_SENTENCE;
}

const char* SecondSentence(int productPresent) {
  return productPresent ? PRESENT_SECOND_SENTENCE : READY_SECOND_SENTENCE;
}
