// The calendar, kept in one place so tests can compute what the program shows.
#pragma once

namespace platform {

// The current calendar year in local time, for example 2026.
int CurrentYear();

}  // namespace platform
