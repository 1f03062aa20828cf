// tgm-make-examples OUTDIR: writes realistic form files of every kind, computed from tank
// geometry, with the program's own form writers.
#include "forms/fdata.h"
#include "forms/form_kind.h"
#include "forms/number_text.h"
#include "model/grouptab.h"
#include "support/cp1251.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

using namespace tgm;

constexpr double kPi = 3.14159265358979323846;

// Horizontal cylinder of radius r and length len (cm): litres at level h cm.
double horizontal_litres(double r, double len, double h) {
    if (h <= 0)
        return 0;
    if (h >= 2 * r)
        h = 2 * r;
    const double segment = r * r * std::acos((r - h) / r) - (r - h) * std::sqrt(2 * r * h - h * h);
    return segment * len / 1000.0;
}

// Vertical cylinder of radius r (cm) over a cone of height cone_h (cm).
double vertical_litres(double r, double cone_h, double h) {
    if (h <= 0)
        return 0;
    const double area = kPi * r * r;
    if (cone_h > 0 && h < cone_h)
        return area * h * (h / cone_h) * (h / cone_h) / 3.0 / 1000.0;
    return (area * cone_h / 3.0 + area * (h - cone_h)) / 1000.0;
}

struct Tank {
    const char* header; // UTF-8
    bool vertical;
    double radius, length_or_cone, height;
};

constexpr Tank kFarm[] = {
    {"Резервуар №1 РГС-25 (Аи-92)", false, 138, 420, 276},
    {"Резервуар №2 РГС-25 (Аи-95)", false, 138, 420, 276},
    {"Резервуар №3 РГС-50 (ДТ)", false, 160, 640, 320},
    {"Резервуар №4 РГС-50 (ДТ-З)", false, 160, 640, 320},
    {"Резервуар №5 РГС-75", false, 162.5, 905, 325},
    {"Резервуар №6 РГС-10 (отработка)", false, 110, 265, 220},
    {"Резервуар №7 РВС-400", true, 415, 0, 750},
    {"Резервуар №8 РВС-700", true, 525, 0, 850},
    {"Резервуар №9 РВС-1000", true, 520, 0, 1190},
    {"Резервуар №10 РВС-2000 (конус)", true, 760, 20, 1190},
    {"Резервуар №11 РВС-3000", true, 950, 0, 1190},
    {"Резервуар №12 РВС-5000", true, 1140, 0, 1190},
    {"Резервуар №13 РГС-60 (мазут)", false, 162.5, 730, 325},
    {"Резервуар №14 РГС-5", false, 95, 180, 190},
    {"Резервуар №15 РВС-100000", true, 4265, 0, 1800},
    {"Резервуар №16 РГС-100", false, 160, 1250, 320},
};

PARTAB tank_table(const Tank& t) {
    const int32_t n = static_cast<int32_t>(t.height) + 1;
    PARTAB p(n);
    for (int32_t i = 0; i < n; ++i) {
        const double v = t.vertical ? vertical_litres(t.radius, t.length_or_cone, i)
                                    : horizontal_litres(t.radius, t.length_or_cone, i);
        p.point(i) = static_cast<int32_t>(v);
    }
    p.set_header(cp(t.header));
    return p;
}

bool write_group(const std::string& name, int kind, const GROUPTAB& group) {
    FDATA out;
    out.fill_from_group(group, kind);
    return out.save_form_file(name);
}

bool write_single(const std::string& name, int kind, const GROUPTAB& group, int32_t k) {
    FDATA out;
    out.fill_single_table(group, kind, k);
    return out.save_form_file(name);
}

// A survey of a horizontal tank: level (tenths of mm) and volume pairs, listed out of order as
// they were measured, with a few points between the 5 cm marks.
bool write_survey(const std::string& name) {
    FDATA out;
    const Tank surveyed[] = {
        {"Автоцистерна АЦ-10, отсек 1", false, 100, 320, 200},
        {"Автоцистерна АЦ-10, отсек 2", false, 100, 290, 200},
        {"Резервуар РГС-16, замер 2026", false, 125, 330, 250},
    };
    out.count = 3;
    for (int k = 0; k < 3; ++k) {
        const Tank& t = surveyed[k];
        FORMA& f = out.table(k);
        f.make_empty(kFormF1);
        f.name = cp(t.header);
        const int marks = static_cast<int>(t.height / 5);
        // Odd marks first, then even ones, then intermediate readings: the order of a survey.
        for (int pass = 0; pass < 3; ++pass) {
            for (int m = 0; m <= marks; ++m) {
                double level_mm = m * 50.0;
                if (pass == 0 && m % 2 == 0)
                    continue;
                if (pass == 1 && m % 2 == 1)
                    continue;
                if (pass == 2) {
                    if (m % 7 != 3 || m == marks)
                        continue;
                    level_mm += 17.5;
                }
                const double v = horizontal_litres(t.radius, t.length_or_cone, level_mm / 10.0);
                f.add_point(text_of_integer(static_cast<int64_t>(level_mm * 10)),
                            text_of_integer(static_cast<int64_t>(v)));
            }
        }
        f.set_flag(kFilled, true);
    }
    return out.save_form_file(name);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tgm-make-examples OUTDIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    GROUPTAB farm;
    for (const Tank& t : kFarm)
        farm.add_copy(tank_table(t));
    GROUPTAB small;
    for (int k : {0, 2, 5, 13})
        small.add_copy(farm.item(k));

    bool ok = write_group(dir + "tank_farm.fs", kFormFs, farm);
    ok = write_group(dir + "station_cubic.fs1", kFormFs1, small) && ok;
    ok = write_group(dir + "station_litres.fs2", kFormFs2, small) && ok;
    ok = write_single(dir + "rgs50.fs31", kFormFs31, farm, 2) && ok;
    ok = write_single(dir + "rvs1000.fs32", kFormFs32, farm, 8) && ok;
    ok = write_survey(dir + "survey.f1") && ok;
    return ok ? 0 : 1;
}
