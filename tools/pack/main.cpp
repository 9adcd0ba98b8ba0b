// mixarro-pack: packs, lists, verifies and extracts the installer's payload blob.
#include <cstdio>

#include "tools/pack/pack.h"

int main(int argc, char** argv) {
  return RunPackTool(argc, argv, stdout, stderr);
}
