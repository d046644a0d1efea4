// Fuzz target for the command line: vexo_main on argument vectors of up to
// six words of arbitrary bytes. The first input byte gives argc (0 to 6);
// the rest is split at NUL bytes into the words, argv[0] included (missing
// words are empty).
//
// The outcome is predicted independently of the program, from the words
// read with strtol (whose overflow saturates, as the C library defines it):
//   - anything but a complete and valid request: status 1 and exactly the
//     usage text, with argv[0] (or the program's own name when argc is 0)
//     as the name;
//   - a valid request: status 0 with a banner and a printed value, or, for
//     a digit count above every calculator's size limit, status 2 and the
//     one refusal line.
//
// Digit counts are capped so that runs stay short: when word 1 reads as a
// number above 1000 but below 10^12, it is replaced by the decimal text of
// 13 + n mod 988 before the call. Counts of 10^12 and more are left alone:
// every calculator refuses them before it allocates anything.
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "vexo.h"

namespace {

constexpr long kPlafond = 1000;                     // largest digit count computed as asked
constexpr long kToujoursTropGrand = 1000000000000L; // refused by every calculator

std::string texte_usage(const std::string &prog)
{
    return "\n\n UTILISATION :  " + prog +
           " n cst radix [method]\n"
           "    n      = number of digits\n"
           "    cst    = pi, e, sqrt2, 1/sqrt2\n"
           "    radix  = 2 or 16\n"
           "    method = 1, or 2, or 3, or 4 and only for pi with :\n"
           "      * 1  : pi/4 = arctan(1/2) + arctan(1/3)\t(Newton)\n"
           "      * 2  : pi/4 = 4 arctan(1/5) - arctan(1/239)\t(Machin)\n"
           "      * 3  : pi/4 = 12 arctan(1/18) + 8 arctan(1/57) - 5 arctan(1/239)\t(Gauss)\n"
           "      * 4  : pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( 1/5118 ) + 5 "
           "arctan( 1/6072 )\n\n";
}

long lire(const std::string &mot)
{
    errno = 0;
    return std::strtol(mot.c_str(), nullptr, 10);
}

bool est_constante(const std::string &mot)
{
    return mot == "pi" || mot == "e" || mot == "sqrt2" || mot == "1/sqrt2";
}

// What the command line asks for: 1 for the usage text, else 0 (computed)
// or 2 (refused as too large).
int statut_attendu(const std::vector<std::string> &mots)
{
    const size_t argc = mots.size();
    if (argc != 4 && argc != 5) {
        return 1;
    }
    const long n = lire(mots[1]);
    if (n <= 12 || !est_constante(mots[2])) {
        return 1;
    }
    const long base = lire(mots[3]);
    if (base != 2 && base != 16) {
        return 1;
    }
    if (mots[2] == "pi") {
        if (argc != 5) {
            return 1;
        }
        const long formule = lire(mots[4]);
        if (formule < 1 || formule > 4) {
            return 1;
        }
    }
    return n >= kToujoursTropGrand ? 2 : 0;
}

bool commence_par(const std::string &s, const char *debut)
{
    return s.compare(0, std::strlen(debut), debut) == 0;
}

bool finit_par(const std::string &s, const char *fin)
{
    const size_t n = std::strlen(fin);
    return s.size() >= n && s.compare(s.size() - n, n, fin) == 0;
}

// True when some line holds only integer digits (radix 2 or 16) and the
// point: the first line of a printed value.
bool a_une_ligne_entiere(const std::string &s)
{
    size_t debut = 0;
    while (debut < s.size()) {
        size_t fin = s.find('\n', debut);
        if (fin == std::string::npos) {
            fin = s.size();
        }
        if (fin > debut && s[fin - 1] == '.' && s.find_first_not_of("0123456789ABCDEF", debut) == fin - 1) {
            return true;
        }
        debut = fin + 1;
    }
    return false;
}

// Word 1 above the cap but within reach of the calculators becomes small.
void plafonner(std::vector<std::string> *mots)
{
    if (mots->size() < 2) {
        return;
    }
    const long n = lire((*mots)[1]);
    if (n > kPlafond && n < kToujoursTropGrand) {
        (*mots)[1] = std::to_string(13 + n % 988);
    }
}

std::vector<std::string> decouper(const uint8_t *data, size_t size)
{
    const size_t argc = size > 0 ? data[0] % 7 : 0;
    std::vector<std::string> mots(argc);
    size_t mot = 0;
    for (size_t i = 1; i < size && mot < argc; ++i) {
        if (data[i] == 0) {
            ++mot;
        } else {
            mots[mot].push_back(static_cast<char>(data[i]));
        }
    }
    return mots;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> mots = decouper(data, size);
    plafonner(&mots);

    std::vector<char *> argv;
    for (std::string &m : mots) {
        argv.push_back(m.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(mots.size());

    int statut = -1;
    const std::string sortie = capturer_stdout([&] { statut = vexo_main(argc, argv.data()); });

    exiger(statut == 0 || statut == 1 || statut == 2, "exit status outside 0, 1, 2");
    exiger(statut == statut_attendu(mots), "exit status differs from the one the words ask for");
    if (statut == 1) {
        exiger(sortie == texte_usage(argc > 0 ? mots[0] : "vexo_x86_64"), "usage text differs");
    } else if (statut == 2) {
        exiger(commence_par(sortie, " Request too large for ") && finit_par(sortie, ".\n") &&
                   sortie.find('\n') == sortie.size() - 1,
               "a refused request prints other than its one line");
    } else {
        exiger(commence_par(sortie, "\n Formula used") || commence_par(sortie, " Formula used"),
               "a computed request does not start with its banner");
        exiger(finit_par(sortie, "\n\n") && a_une_ligne_entiere(sortie),
               "a computed request does not end with its value");
    }
    return 0;
}
