#include "SimModel.h"

namespace keypadsim {

namespace {
const ModelInfo kModels[] = {
    {Model::Envel, "envel", 28800, 0, 0x00},
    {Model::Arvel, "arvel", 28800, 0, 0x00},
    {Model::Corvel, "corvel", 115200, 1, 0x7F},
    {Model::Dravel, "dravel", 115200, 1, 0x9F},
    {Model::Brevel, "brevel", 115200, 1, 0x5F},
};
} // namespace

const ModelInfo &modelInfo(Model model)
{
    for (const ModelInfo &m : kModels) {
        if (m.model == model)
            return m;
    }
    return kModels[3];
}

bool parseModel(const QString &text, Model *model)
{
    for (const ModelInfo &m : kModels) {
        if (text.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) {
            *model = m.model;
            return true;
        }
    }
    return false;
}

} // namespace keypadsim
