#include "app/shell.h"

int main(int, char**) { return run_game(platform::RunOptions{}); }
