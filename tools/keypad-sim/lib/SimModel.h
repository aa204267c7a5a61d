#pragma once

#include <QString>

namespace keypadsim {

// The receiver models the simulator can stand in for.
enum class Model { Envel, Arvel, Corvel, Dravel, Brevel };

struct ModelInfo
{
    Model model;
    const char *name;    // "envel", "arvel", ...
    int baud;            // line speed the receiver listens at
    int family;          // 0: three-byte frames, 1: short and long frames
    unsigned char code;  // model byte of the version answer (large family)
};

const ModelInfo &modelInfo(Model model);
// Parses "dravel", "Dravel", ...; false when unknown.
bool parseModel(const QString &text, Model *model);

} // namespace keypadsim
