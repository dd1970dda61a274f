/* Opens the data file named on the command line read-only through BTRCALL, reads its
 * first record and prints the record length, the value of its first key (a 2-byte
 * number, as in the race file) and the library's version; a failure prints the status
 * in the library's own words. */
#include <stdio.h>
#include <string.h>
#include <wbtrv32/btrieve.h>

static int fail(const char* what, int16_t status) {
    fprintf(stderr, "%s: %d (%s)\n", what, status, BTRSTATUSTEXT(status));
    return 1;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: open_demo FILE\n");
        return 2;
    }
    char block[BTR_POSITION_BLOCK_SIZE] = {0}, key[BTR_MAX_KEY_LENGTH] = {0};
    unsigned char record[4096];
    uint32_t length = 0;
    int16_t first = 0;
    strncpy(key, argv[1], sizeof key - 1);
    int16_t status = BTRCALL(B_OPEN, block, NULL, &length, key, sizeof key, B_MODE_READ_ONLY);
    if (status != B_NO_ERROR) return fail("open", status);
    length = sizeof record;
    status = BTRCALL(B_GET_FIRST, block, record, &length, key, sizeof key, 0);
    if (status != B_NO_ERROR) return fail("get first", status);
    memcpy(&first, key, sizeof first);
    printf("record length %u, first key %d, library %s\n", (unsigned)length, (int)first, BTRVERSION());
    status = BTRCALL(B_CLOSE, block, NULL, &length, key, sizeof key, 0);
    if (status != B_NO_ERROR) return fail("close", status);
    printf("missing file: %s\n", BTRSTATUSTEXT(BTRCALL(B_OPEN, block, NULL, &length, "no-such.dat", 12, 0)));
    return 0;
}
