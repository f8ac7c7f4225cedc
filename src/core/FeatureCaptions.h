#pragma once
// The forty amenities of a property and the default titles a new property gets,
// kept in Anavin.ini (section "Ans") in the program folder.

#include <QString>
#include <QStringList>

struct TFeature {
    const char* key;            // key of Anavin.ini
    const char* column;         // flag column of T_Melk
    const char* titleColumn;    // title column of T_Melk
    const char* defaultTitle;   // title when Anavin.ini lacks the key
};

constexpr int FeatureCount = 40;

// The amenities in the order of Anavin.ini.
const TFeature* Features();

// Path of Anavin.ini.
QString FeatureCaptionsPath();

// Reads the forty default titles from Anavin.ini; a missing file or key gives the built-in title.
void LoadFeatureCaptions();

// The default titles in memory, in the order of Features().
const QStringList& FeatureCaptions();
QString FeatureCaption(int index);

// Makes titles (forty, in the order of Features()) the new defaults and writes them to
// Anavin.ini. The defaults in memory change only when the file was written; false otherwise.
bool SaveFeatureCaptions(const QStringList& titles);
