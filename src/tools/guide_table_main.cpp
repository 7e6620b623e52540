// Prints the script guide's table of the largest pictures each letter shows whole.
#include <iostream>

#include "script/SizeTable.h"

int main() {
    std::cout << quilo::largestPictureTable();
    return 0;
}
