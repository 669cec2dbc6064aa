/* peak_rss PROGRAM [ARGUMENT...]: runs PROGRAM with standard input, output
 * and error on /dev/null and prints its peak resident set in KiB.
 *
 * A process started by a large one (the benchmark) through fork or
 * posix_spawn keeps that process's high-water mark across exec, so the
 * figure would be the parent's. This runner is small and static: what it
 * starts is measured from a clean slate.
 */
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    pid_t child = fork();
    if (child == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status;
    struct rusage usage;
    if (child < 0 || wait4(child, &status, 0, &usage) < 0) return 1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
    printf("%ld\n", usage.ru_maxrss);
    return 0;
}
