// Build step: writes TTMS_empty.mdb from the geography CSV files.
// Usage: make_ttms_empty OUTPUT zone.csv edareKol.csv

#include "core/TTMSTemplate.h"

#include <QCoreApplication>
#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: make_ttms_empty OUTPUT zone.csv edareKol.csv\n");
        return 2;
    }
    try {
        ttms::BuildTemplate(args[1], args[2], args[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_ttms_empty: %s\n", e.what());
        return 1;
    }
    return 0;
}
