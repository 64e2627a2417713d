// The title and pause menus.
#pragma once

// Builds the four menu text tables and the version line.
void build_menu_texts();
int update_menu();
