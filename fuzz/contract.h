#pragma once
// The fuzz targets' one way to report a broken contract: a line naming it,
// then abort, which libFuzzer records as a finding.

#include <cstdio>
#include <cstdlib>

inline void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "contract broken: %s\n", what);
        std::abort();
    }
}
