#include "DqMachines.h"
#include "ExactValues.h"

#include "experiments/ExperimentFile.h"
#include "experiments/TomlFile.h"
#include "model/DqModel.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

namespace {

toml::table MachineFile(const char* name)
{
    return toml::parse_file(std::string(MOTORMODEL_EXAMPLES) + "/" + name);
}

// The experiment files of documented machines hold the machines' data as
// DqMachines.h derives them from their sources, to the last bit: a typo in
// a file's long decimals shows here.
TEST(DqMachineFiles, FilesHoldTheDocumentedMachines)
{
    for (const auto& [name, m] : {std::pair{"modelica-squirrel-cage.toml", ParametersOf(machines::kModelica)},
                                  std::pair{"krause-3hp.toml", ParametersOf(machines::kKrause3hp)},
                                  std::pair{"krause-2250hp.toml", ParametersOf(machines::kKrause2250hp)}}) {
        const toml::table file = MachineFile(name);
        const toml::node_view model = file["model"];
        EXPECT_EQ(model["kind"].value<std::string>(), "dq") << name;
        for (const auto& [key, value] : {std::pair{"Rs", m.Rs}, {"Rr", m.Rr}, {"Lls", m.Lls}, {"Llr", m.Llr},
                                         {"Lm", m.Lm}, {"U", m.U}, {"w0", m.w0}, {"p", m.p}, {"J", m.J}})
            EXPECT_EQ(model[key].value<double>(), value) << name << ": model." << key;
    }
}

// The Modelica machine's fan, load + k Omega |Omega| from the file, takes
// the nominal torque at the nominal speed.
TEST(DqMachineFiles, ModelicaFanTakesTheNominalTorqueAtTheNominalSpeed)
{
    const toml::table file = MachineFile("modelica-squirrel-cage.toml");
    const double nominal = machines::kModelica.nominalRpm * std::numbers::pi / 30;
    EXPECT_EQ(file["step"]["profile"].value<std::string>(), "fan");
    EXPECT_EQ(file["step"]["load"].value<std::int64_t>(), 0);
    EXPECT_NEAR(file["step"]["k"].value_or(0.0) * nominal * nominal, machines::kModelica.nominalMd,
                1e-13 * machines::kModelica.nominalMd);
}

// The program reads every machine file as the machine's settings, to the
// last bit, and the three-state one as the defaults.
TEST(DqMachineFiles, ProgramReadsEachFileAsItsMachine)
{
    for (const auto& [name, m] : {std::pair{"modelica-squirrel-cage.toml", ParametersOf(machines::kModelica)},
                                  std::pair{"krause-3hp.toml", ParametersOf(machines::kKrause3hp)},
                                  std::pair{"krause-2250hp.toml", ParametersOf(machines::kKrause2250hp)}}) {
        const Settings settings = ExperimentFile::Load(std::string(MOTORMODEL_EXAMPLES) + "/" + name, {});
        CheckSettings(settings);
        EXPECT_EQ(settings.Kind(), ModelKind::Dq) << name;
        DqParameters expected = m;
        expected.dt = settings.model.dt;
        EXPECT_EQ(DqParametersOf(settings), expected) << name;
    }
    EXPECT_EQ(ExperimentFile::Load(std::string(MOTORMODEL_EXAMPLES) + "/three-state-default.toml", {}), Settings{});
}

} // namespace
