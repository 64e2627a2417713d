// The exit statuses of an online game beyond the game's own.
#pragma once

// An online game that could not start or go on: no answer, a refusal, the
// host gone.
constexpr int online_failed_status = 7;
