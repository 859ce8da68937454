#pragma once
// The job as the backend takes it from the scheduler: the print file (or
// standard input) and the copies argument, both bounded. A kitchen ticket is
// a few kilobytes; anything near the bounds is not one.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace escposbackend {

inline constexpr int kMostCopies = 999;
// All the copies together, as they are kept in memory to be sent again whole.
inline constexpr std::size_t kMostJobBytes = 16u << 20;

struct Copies {
    int count = 1;
    std::string problem;  // empty when the argument was a number from 1 to kMostCopies
};

// The copies argument: decimal digits only, from 1 to kMostCopies. Anything
// else is taken as 1, with the reason in `problem`: the ticket still
// reaches the kitchen once, where refusing it would leave the kitchen
// without it and a runaway count would print a roll of paper.
Copies ParseCopies(std::string_view text);

// `data` `copies` times; nothing, with the reason, when that is more than
// kMostJobBytes.
std::optional<std::string> RepeatedJob(std::string_view data, int copies, std::string* error);

// All of `fd` into `data`, refused (with the reason) past kMostJobBytes or
// when reading fails.
bool ReadJobBytes(int fd, std::string* data, std::string* error);

}  // namespace escposbackend
