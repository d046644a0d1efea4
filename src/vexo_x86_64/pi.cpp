// pi as a sum of multiples of arctan(1/x), by four formulas. Each arctangent
// is an alternating series on fixed-point records, one kernel call per step;
// the formula routines time each series and combine the terms into p.
#include <sys/times.h>

#include <cstdio>

#include "vexo.h"

namespace {

// How a term of a formula enters p.
enum Combinaison { PREMIER, AJOUT, RETRAIT };

struct TermeArctan {
    int64_t x;               // the term is arctan(1/x)
    uint64_t multiplicateur; // four times its coefficient in pi/4
    Combinaison combinaison;
};

struct FormulePi {
    const char *nom;        // names the formula in the too-large line
    const char *banniere_1; // both banner lines are written with puts
    const char *banniere_2;
    const TermeArctan *termes;
    int nb_termes;
    const char *ligne_totale; // printf format taking the total duration
    // The four-term formula writes its total line before combining its last
    // term; the others write it once every term is in p.
    bool total_avant_derniere_combinaison;
};

constexpr TermeArctan TERMES_NEWTON[] = {{2, 4, PREMIER}, {3, 4, AJOUT}};
constexpr TermeArctan TERMES_MACHIN[] = {{5, 16, PREMIER}, {239, 4, RETRAIT}};
constexpr TermeArctan TERMES_18_57_239[] = {{18, 48, PREMIER}, {57, 32, AJOUT}, {239, 20, RETRAIT}};
constexpr TermeArctan TERMES_23_182_5118_6072[] = {
    {23, 68, PREMIER}, {182, 32, AJOUT}, {5118, 40, AJOUT}, {6072, 20, AJOUT}};

constexpr FormulePi FORMULES[] = {
    {"pi by formula 1", "\n Formula used (de Newton) :", " pi/4 = arctan( 1/2 ) + arctan( 1/3 )\n",
     TERMES_NEWTON, 2, " Total duration = %7.3f secondes.\n", false},
    {"pi by formula 2", "\n Formula used (de Machin) :", " pi/4 = 4 arctan( 1/5 ) - arctan( 1/239 )\n",
     TERMES_MACHIN, 2, " Duration = %7.3f seconds.\n", false},
    {"pi by formula 3",
     "\n Formula used :", " pi/4 = 12 arctan( 1/18 ) + 8 arctan( 1/57 ) - 5 arctan( 1/239 )\n",
     TERMES_18_57_239, 3, " Duration = %7.3f seconds.\n", false},
    {"pi by formula 4", " Formula used :",
     " pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( 1/5118 ) + 5 arctan( 1/6072 )\n",
     TERMES_23_182_5118_6072, 4, " Total duration = %7.3f seconds.\n", true},
};
constexpr int NB_FORMULES = 4;

// Words added to those the digits fill, in either radix: the integer word and
// guard words against the truncation of every division.
constexpr int64_t MOTS_EN_PLUS = 4;

// The clock of every duration: elapsed ticks, taken as 100 per second.
clock_t lire_horloge()
{
    return times(nullptr);
}

double secondes(clock_t debut, clock_t fin)
{
    return static_cast<double>(fin - debut) / 100.0;
}

void afficher_duree_terme(int64_t x, clock_t debut, clock_t fin)
{
    std::printf(" Duration = %7.3f seconds for arctan(1/%ld).\n", secondes(debut, fin), x);
}

void combiner(Lii *p, Lii *terme, const TermeArctan *t)
{
    mulB_R_x86_64_bini(terme, t->multiplicateur);
    if (t->combinaison == AJOUT) {
        add_R_2P_x86_64_bini_spe(p, terme);
    } else {
        sub_R_2P_x86_64_bini_spe(p, terme);
    }
}

// Runs a formula: p (holding no array on entry) gets pi in W words.
// Returns 1, with nothing left allocated, when a series ran out of memory.
int32_t calculer_formule(Lii *p, int64_t W, const FormulePi *f)
{
    std::puts(f->banniere_1);
    std::puts(f->banniere_2);

    const clock_t tops = lire_horloge();
    if (arctan_bini(p, f->termes[0].x, W) > 0) {
        return 1; // p was the record that failed: arctan_bini released it
    }
    afficher_duree_terme(f->termes[0].x, tops, lire_horloge());
    mulB_R_x86_64_bini(p, f->termes[0].multiplicateur);

    for (int i = 1; i < f->nb_termes; ++i) {
        const TermeArctan *t = &f->termes[i];
        const bool dernier = i == f->nb_termes - 1;
        Lii terme{};
        const clock_t tops2 = lire_horloge();
        if (arctan_bini(&terme, t->x, W) > 0) {
            destroyLii(p);
            return 1;
        }
        const clock_t tops3 = lire_horloge();
        afficher_duree_terme(t->x, tops2, tops3);
        if (dernier && f->total_avant_derniere_combinaison) {
            std::printf(f->ligne_totale, secondes(tops, tops3));
        }
        combiner(p, &terme, t);
        if (dernier && !f->total_avant_derniere_combinaison) {
            std::printf(f->ligne_totale, secondes(tops, tops3));
        }
        destroyLii(&terme);
    }
    return 0;
}

// Largest word count that a formula accepts.
//
// In arctan_bini(1/x) with F = 64*(W-1) fraction bits, the power record
// holds at most 2^F / x^(2n+3) units of 2^-F after term n (truncation only
// lowers it). The loop ends at the first n where it is zero, so the power was
// still >= 1 after term n-1 of the last term n: x^(2n+1) <= 2^F, that is, the
// last odd divisor 2n+1 is at most F / log2(x). The division kernels take
// divisors below 2^32, so it is enough that F <= (2^32 - 2^20) * log2(x) for
// the formula's smallest x (its slowest series). The 2^20 margin, about
// 0.02 %, dwarfs the error of log2_minorant below.
//
// log2 is computed here rather than taken from the maths library: the program
// needs nothing else from it, and not mapping it saves a few hundred KiB of
// resident memory in every run.
//
// log2_minorant(x) for x >= 2: the integer part from the top bit, then 40
// fraction bits by repeated squaring of the mantissa y in [1, 2): each bit is
// set only when y^2 reaches 2, and the bits left out only add, so the result
// is below log2(x) by less than 2^-40 plus the rounding of 40 squarings
// (about 2^-46 relative each), far inside the margin.
double log2_minorant(int64_t x)
{
    int entier = 0;
    while ((x >> (entier + 1)) != 0) {
        ++entier;
    }
    double y = static_cast<double>(x) / static_cast<double>(INT64_C(1) << entier);
    double resultat = entier;
    double poids = 0.5;
    for (int bit = 0; bit < 40; ++bit) {
        y *= y;
        if (y >= 2.0) {
            y /= 2.0;
            resultat += poids;
        }
        poids /= 2.0;
    }
    return resultat;
}

int64_t mots_max(const FormulePi *f)
{
    int64_t x_min = f->termes[0].x;
    for (int i = 1; i < f->nb_termes; ++i) {
        x_min = f->termes[i].x < x_min ? f->termes[i].x : x_min;
    }
    const double fraction_max = (4294967296.0 - 1048576.0) * log2_minorant(x_min);
    return 1 + static_cast<int64_t>(fraction_max / 64.0);
}

} // namespace

int64_t arctan_bini(Lii *a, int64_t divisor, int64_t nb_decimales_en_base_BASE64_BINI)
{
    const int64_t W = nb_decimales_en_base_BASE64_BINI;
    Lii b{};
    Lii un{};
    Lii *const records[] = {a, &b, &un};
    if (!create_records(records, 3, W, "not enough memeory !!!")) {
        return 1;
    }

    const uint64_t x = static_cast<uint64_t>(divisor);
    const uint64_t d = x * x; // below 2^32 for every x used, so one division per power
    initialise_fixedPoint_bini(a, 1);
    divHalfB_R_x86_64_bini(a, x);
    copyLii(&un, a);
    divHalfB_R_x86_64_bini(&un, d);

    // a = 1/x - 1/(3x^3) + 1/(5x^5) - ...; un holds 1/x^(2n+1). The test
    // follows each term, so a term that truncated to zero still counts.
    for (uint64_t n = 1;; ++n) {
        divHalfB_x86_64_bini(&b, &un, 2 * n + 1);
        if ((n & 1) != 0) {
            sub_R_2P_x86_64_bini_spe(a, &b);
        } else {
            add_R_2P_x86_64_bini_spe(a, &b);
        }
        divHalfB_R_x86_64_bini(&un, d);
        if (un.signe == 0) {
            break;
        }
    }
    destroyLii(&un);
    destroyLii(&b);
    return 0;
}

int64_t pi_Newton_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN)
{
    return calculer_formule(p, nb_decimales_en_base_BASE64_BIN, &FORMULES[0]);
}

int32_t pi_Machin_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN)
{
    return calculer_formule(p, nb_decimales_en_base_BASE64_BIN, &FORMULES[1]);
}

int32_t pi_arctan_18_57_239_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN)
{
    return calculer_formule(p, nb_decimales_en_base_BASE64_BIN, &FORMULES[2]);
}

int32_t pi_arctan_23_182_5118_6072_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN)
{
    return calculer_formule(p, nb_decimales_en_base_BASE64_BIN, &FORMULES[3]);
}

namespace {

int64_t lancer_formule(Lii *pi, int64_t W, int32_t formule)
{
    switch (formule) {
    case 1:
        return pi_Newton_bini(pi, W);
    case 2:
        return pi_Machin_bini(pi, W);
    case 3:
        return pi_arctan_18_57_239_bini(pi, W);
    default:
        return pi_arctan_23_182_5118_6072_bini(pi, W);
    }
}

} // namespace

int32_t calcul_pi(int64_t base, int64_t Nb_decimales, int32_t formule)
{
    if ((base != 2 && base != 16) || formule < 1 || formule > NB_FORMULES) {
        return 1;
    }
    const FormulePi *f = &FORMULES[formule - 1];
    // Checked in digits before W is formed, so no count overflows W or W*8.
    if (request_too_large(f->nom, base, Nb_decimales, mots_max(f), MOTS_EN_PLUS)) {
        return 1;
    }
    const int64_t Nb_decimales_Base64 = Nb_decimales / (base == 2 ? 64 : 16) + MOTS_EN_PLUS;

    Lii pi{};
    if (lancer_formule(&pi, Nb_decimales_Base64, formule) > 0) {
        std::puts("Not enough memory !\n");
        return 1;
    }
    if (base == 2) {
        print_cst_base2_bini(&pi);
    } else {
        print_cst_base16_bini(&pi);
    }
    destroyLii(&pi);
    return 0;
}
