#include "DqMachines.h"
#include "ExactValues.h"

#include "experiments/TomlFile.h"
#include "model/DqModel.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

namespace {

// The experiment files of documented machines hold the machines' data as
// DqMachines.h derives them from their sources, to the last bit: a typo in
// a file's long decimals shows here.
struct MachineFile {
    const char* name;
    const char* file;
    DqParameters machine;
};

class DqMachineFiles : public testing::TestWithParam<MachineFile> {};

double Number(const toml::table& file, const char* table, const char* key)
{
    const auto value = file[table][key].value<double>();
    EXPECT_TRUE(value) << table << '.' << key;
    return value.value_or(0);
}

TEST_P(DqMachineFiles, FileHoldsTheDocumentedMachine)
{
    const toml::table file = toml::parse_file(std::string(MOTORMODEL_EXAMPLES) + "/" + GetParam().file);
    const DqParameters& m = GetParam().machine;
    EXPECT_EQ(file["model"]["kind"].value<std::string>(), "dq");
    EXPECT_EQ(Number(file, "model", "Rs"), m.Rs);
    EXPECT_EQ(Number(file, "model", "Rr"), m.Rr);
    EXPECT_EQ(Number(file, "model", "Lls"), m.Lls);
    EXPECT_EQ(Number(file, "model", "Llr"), m.Llr);
    EXPECT_EQ(Number(file, "model", "Lm"), m.Lm);
    EXPECT_EQ(Number(file, "model", "U"), m.U);
    EXPECT_EQ(Number(file, "model", "w0"), m.w0);
    EXPECT_EQ(Number(file, "model", "p"), m.p);
    EXPECT_EQ(Number(file, "model", "J"), m.J);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, DqMachineFiles,
    testing::Values(MachineFile{"Modelica", "modelica-squirrel-cage.toml", ParametersOf(machines::kModelica)},
                    MachineFile{"Krause3hp", "krause-3hp.toml", ParametersOf(machines::kKrause3hp)},
                    MachineFile{"Krause2250hp", "krause-2250hp.toml", ParametersOf(machines::kKrause2250hp)}),
    [](const auto& info) { return std::string(info.param.name); });

// The Modelica machine's fan, load + k Omega |Omega| from the file, takes
// the nominal torque at the nominal speed.
TEST(DqMachineFiles, ModelicaFanTakesTheNominalTorqueAtTheNominalSpeed)
{
    const toml::table file = toml::parse_file(std::string(MOTORMODEL_EXAMPLES) + "/modelica-squirrel-cage.toml");
    const double nominal = machines::kModelica.nominalRpm * std::numbers::pi / 30;
    EXPECT_EQ(file["step"]["profile"].value<std::string>(), "fan");
    EXPECT_EQ(file["step"]["load"].value<std::int64_t>(), 0);
    EXPECT_NEAR(Number(file, "step", "k") * nominal * nominal, machines::kModelica.nominalMd,
                1e-13 * machines::kModelica.nominalMd);
}

} // namespace
