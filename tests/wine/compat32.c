/* Whether this machine runs 32-bit code at all: a 64-bit program switches its processor to
   the 32-bit (compatibility) code segment and straight back. Wine's WoW64 mode runs every
   32-bit Windows program that way; some virtual machines do not allow it, and the switch ends
   the program with a protection fault. Prints nothing and exits with 0 when the switch works.
   Built static and at a fixed low address, so that the labels lie below 4 GB.
   The upper halves of the registers do not survive the 32-bit mode on every processor (some
   virtual machines clear them, as the architecture allows), so the stack and frame pointers
   are kept in memory across the switch, as Wine keeps its own. */
static unsigned long savedStack, savedFrame;

int main(void) {
  __asm__ volatile(
      "movq %%rsp, %0\n"
      "movq %%rbp, %1\n"
      "pushq $0x23\n" /* the 32-bit user code segment of Linux on x86-64 */
      "pushq $1f\n"
      "lretq\n"
      "1:\n"
      ".code32\n"
      "ljmp $0x33, $2f\n" /* back to the 64-bit code segment */
      ".code64\n"
      "2:\n"
      "movq %0, %%rsp\n"
      "movq %1, %%rbp\n"
      : "+m"(savedStack), "+m"(savedFrame)
      :
      : "memory", "rax", "rbx", "rcx", "rdx", "rsi", "rdi", "r8", "r9", "r10", "r11", "r12",
        "r13", "r14", "r15");
  return 0;
}
