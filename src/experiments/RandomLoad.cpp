#include "experiments/Experiments.h"

double GaussianLoad(toolkit::NormalSource& source, const GaussSettings& gauss)
{
    return static_cast<double>(source.RandG(gauss.mean, gauss.sd));
}

double UniformLoad(runtime::IntegerSource& source, const UniformSettings& uniform)
{
    // Formed in extended and rounded once. With the defaults the step u is
    // 0.001, the double nearest it, which puts 24 of the 1001 loads one unit
    // above the double nearest their decimal value.
    const Extended r = source.RandomBelow(static_cast<std::int32_t>(uniform.levels));
    const double u = 1.0 / static_cast<double>(uniform.levels - 1);
    const double width = uniform.high - uniform.low;
    return static_cast<double>(r * u * width + uniform.low);
}

RandomSources RandomSources::Fork()
{
    RandomSources forked;
    forked.integer.srand(static_cast<unsigned>(integer._lrand()));
    forked.normal.Seed(normal.Draw());
    return forked;
}

std::string RandomSources::State() const
{
    return integer.State() + '|' + normal.State();
}

bool RandomSources::Restore(std::string_view state)
{
    const std::size_t bar = state.find('|');
    if (bar == std::string_view::npos)
        return false;
    RandomSources restored = *this;
    if (!restored.integer.Restore(state.substr(0, bar)) || !restored.normal.Restore(state.substr(bar + 1)))
        return false;
    *this = std::move(restored);
    return true;
}

RandomSources ClockSeededSources()
{
    RandomSources sources;
    sources.integer.srand(static_cast<unsigned>(runtime::time()));
    return sources;
}

RandomSources SourcesOf(const Settings& settings)
{
    return settings.run.seed ? RandomSources{} : ClockSeededSources();
}
