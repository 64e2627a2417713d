// hiscore.dat in the folder for saved files: the best score from run to run.
#pragma once

int load_high_score();
int save_high_score();
