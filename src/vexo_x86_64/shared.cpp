// Record creation shared by the calculators.
#include <cstdio>

#include "vexo.h"

bool create_records(Lii *const *records, int count, int64_t words, const char *out_of_memory_line)
{
    for (int r = 0; r < count; ++r) {
        createLii(records[r], words);
        if (records[r]->mantisse == nullptr) {
            std::puts(out_of_memory_line);
            for (int done = 0; done < r; ++done) {
                destroyLii(records[done]);
            }
            return false;
        }
    }
    return true;
}
