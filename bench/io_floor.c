/* The I/O floor: what any frame-to-bitmap converter must at least do. Reads
 * the 76080 bytes of a frame file and writes 76086 bytes to the file beside
 * it, with no conversion at all. Built static, like the program it is
 * compared with.
 *
 *   io_floor INPUT OUTPUT
 */
#include <fcntl.h>
#include <unistd.h>

static unsigned char frame[76080];
static unsigned char bitmap[76086];

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    int in = open(argv[1], O_RDONLY);
    if (in < 0 || read(in, frame, sizeof frame) != (ssize_t)sizeof frame) return 1;
    close(in);
    int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (out < 0 || write(out, bitmap, 54) != 54 ||
        write(out, bitmap + 54, sizeof bitmap - 54) != (ssize_t)(sizeof bitmap - 54)) {
        return 1;
    }
    return close(out) != 0;
}
