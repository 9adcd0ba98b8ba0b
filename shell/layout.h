// Where everything of the main window stands and what it says: the picture of W x H
// pixels, the operating-system label over its lower left, the white band of 100 pixels
// under it with the two status sentences and the action button. Plain logic over W and H.
#pragma once

#include "ground/context.h"
#include "shell/texts.h"

constexpr int STATUS_BAND_HEIGHT = 100;
constexpr int BUTTON_CORNER = 8;

struct LayoutRect {
  int left;
  int top;
  int right;
  int bottom;
};

struct WindowLayout {
  LayoutRect picture;         // copied 1:1
  LayoutRect labelShadow;     // the label in black, one pixel right and down
  LayoutRect label;           // the label in white
  LayoutRect band;            // Rectangle() arguments: one pixel beyond on the right and bottom
  LayoutRect firstSentence;   // black
  LayoutRect secondSentence;  // grey
  ButtonRect button;          // the hit-test rectangle, 300 x 60
  LayoutRect buttonShape;     // RoundRect() arguments: the button plus one pixel right and down
  LayoutRect busyWord;        // "Installing": the button with its bottom raised by 15
  LayoutRect stepText;        // the lowest 20 pixels of the button
};

// Every rectangle of the window for a picture of `width` x `height` pixels.
WindowLayout ComputeLayout(int width, int height);
// The client size that holds the picture and the band.
void ClientSizeFor(int width, int height, int* clientWidth, int* clientHeight);

// "Install" or "Remove".
const char* ActionCaption(int productPresent);
// The black first and the grey second status sentence.
const char* FirstSentence(int productPresent);
const char* SecondSentence(int productPresent);
// Capacity of the copy of statusLine that the busy button draws.
constexpr int STEP_TEXT_CAPACITY = 128;
