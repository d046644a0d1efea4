#include "pi_formulas.h"

#include "calculators.h"

namespace {

int64_t newton(Lii *p, int64_t w)
{
    return pi_Newton_bini(p, w);
}
int64_t machin(Lii *p, int64_t w)
{
    return pi_Machin_bini(p, w);
}
int64_t gauss(Lii *p, int64_t w)
{
    return pi_arctan_18_57_239_bini(p, w);
}
int64_t four_terms(Lii *p, int64_t w)
{
    return pi_arctan_23_182_5118_6072_bini(p, w);
}

} // namespace

const PiFormula kPiFormulas[4] = {newton, machin, gauss, four_terms};
