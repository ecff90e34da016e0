#pragma once
// Running the independent tools the interop tests compare against.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace rvtest {

// The standard output of a shell command ("" when it cannot be started).
inline std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

}  // namespace rvtest
