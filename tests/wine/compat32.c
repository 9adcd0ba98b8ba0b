/* Whether this machine runs 32-bit code at all: a 64-bit program switches its processor to
   the 32-bit (compatibility) code segment and straight back. Wine's WoW64 mode runs every
   32-bit Windows program that way; some virtual machines do not allow it, and the switch ends
   the program with a protection fault. Prints nothing and exits with 0 when the switch works.
   Built static and at a fixed low address, so that the label lies below 4 GB. */
int main(void) {
  __asm__ volatile(
      "pushq $0x23\n" /* the 32-bit user code segment of Linux on x86-64 */
      "pushq $1f\n"
      "lretq\n"
      "1:\n"
      ".code32\n"
      "ljmp $0x33, $2f\n" /* back to the 64-bit code segment */
      ".code64\n"
      "2:\n" ::: "memory");
  return 0;
}
