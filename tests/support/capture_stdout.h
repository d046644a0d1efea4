// Runs a piece of code with the process's standard output sent to a
// temporary file, and returns what it wrote (every byte, as written).
#pragma once

#include <functional>
#include <string>

std::string capture_stdout(const std::function<void()> &body);
