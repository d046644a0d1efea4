// The command line: vexo_x86_64 n cst radix [method]. Anything but a complete
// and valid request gets the usage text; a valid one runs one calculator.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vexo.h"

namespace {

// Exit statuses.
constexpr int STATUT_FAIT = 0;
constexpr int STATUT_USAGE = 1;
constexpr int STATUT_ECHEC = 2;

// The name shown when the system gives the program no name at all.
constexpr const char *NOM_PAR_DEFAUT = "vexo_x86_64";

enum Constante { PI, E, SQRT2, INV_SQRT2, INCONNUE };

// The whole word must match, so "pi2", "Pi" and "p" are no constant.
Constante lire_constante(const char *mot)
{
    if (std::strcmp(mot, "pi") == 0) {
        return PI;
    }
    if (std::strcmp(mot, "e") == 0) {
        return E;
    }
    if (std::strcmp(mot, "sqrt2") == 0) {
        return SQRT2;
    }
    if (std::strcmp(mot, "1/sqrt2") == 0) {
        return INV_SQRT2;
    }
    return INCONNUE;
}

// A number word as atol reads it: leading white space, an optional sign and
// the digits that follow; anything after them is ignored and a word without
// digits reads as 0. strtol defines what atol and atoi leave undefined: a
// value beyond the range of long reads as LONG_MIN or LONG_MAX. The method is
// range-checked in this width too, so a word such as 4294967297 is no formula
// rather than formula 1 after a cut to 32 bits.
long lire_nombre(const char *mot)
{
    return std::strtol(mot, nullptr, 10);
}

int usage(const char *prog)
{
    printError(prog);
    return STATUT_USAGE;
}

int32_t lancer_calcul(Constante cst, int64_t base, int64_t Nb_decimales, int32_t formule)
{
    switch (cst) {
    case PI:
        return calcul_pi(base, Nb_decimales, formule);
    case E:
        return calcul_e(base, Nb_decimales);
    case SQRT2:
        return calcul_sqrt2(base, Nb_decimales);
    default:
        return calcul_inv_sqrt2(base, Nb_decimales);
    }
}

} // namespace

void printError(const char *prog)
{
    std::printf("\n\n UTILISATION :  %s n cst radix [method]\n", prog);
    std::puts("    n      = number of digits");
    std::puts("    cst    = pi, e, sqrt2, 1/sqrt2");
    std::puts("    radix  = 2 or 16");
    std::puts("    method = 1, or 2, or 3, or 4 and only for pi with :");
    std::puts("      * 1  : pi/4 = arctan(1/2) + arctan(1/3)\t(Newton)");
    std::puts("      * 2  : pi/4 = 4 arctan(1/5) - arctan(1/239)\t(Machin)");
    std::puts("      * 3  : pi/4 = 12 arctan(1/18) + 8 arctan(1/57) - 5 arctan(1/239)\t(Gauss)");
    std::puts("      * 4  : pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( 1/5118 ) + 5 arctan( "
              "1/6072 )\n");
}

int vexo_main(int argc, char **argv)
{
    const char *prog = argc > 0 && argv[0] != nullptr ? argv[0] : NOM_PAR_DEFAUT;
    if (argc != 4 && argc != 5) {
        return usage(prog);
    }
    const int64_t Nb_decimales = lire_nombre(argv[1]);
    if (Nb_decimales <= 12) {
        return usage(prog);
    }
    const Constante cst = lire_constante(argv[2]);
    if (cst == INCONNUE) {
        return usage(prog);
    }
    const int64_t base = lire_nombre(argv[3]);
    if (base != 2 && base != 16) {
        return usage(prog);
    }
    // The method is read only for pi; any word 4 is ignored otherwise.
    int32_t formule = 0;
    if (cst == PI) {
        if (argc != 5) {
            return usage(prog);
        }
        const long methode = lire_nombre(argv[4]);
        if (methode < 1 || methode > 4) {
            return usage(prog);
        }
        formule = static_cast<int32_t>(methode);
    }
    return lancer_calcul(cst, base, Nb_decimales, formule) == 0 ? STATUT_FAIT : STATUT_ECHEC;
}
