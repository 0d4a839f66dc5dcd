#include <vcd2/vcd2.h>
/* Builds the Video CD images that the script argv[1] describes; exits with the result. */
int main(int argc, char** argv) { return argc == 2 ? VCD2DiscBuilder(NULL, argv[1], NULL) : 2; }
