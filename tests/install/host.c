#include <vcd2/vcd2.h>
int main(int argc, char** argv) {
  return argc == 2 ? VCD2DiscBuilder(NULL, argv[1], NULL) : 2; /* the build's result */
}
