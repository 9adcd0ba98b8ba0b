// A 32-bit GUI program that does nothing: its run in a fresh Wine prefix is Wine's own start,
// which the install benchmark takes off the installers' times.
int main() {
  return 0;
}
