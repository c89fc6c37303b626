#include "cli/Help.h"

#include "cli/Texts.h"
#include "experiments/Settings.h"
#include "experiments/SettingsTable.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace cli {

namespace {

// Laid out for help2man, which writes the man page from it: an option or a
// command and its text on one line, or the text on the next at column 24;
// continuations at the same column; "Options:", "Settings:", "*Exit
// status*" and "Examples:" start the page's sections. Each {NAME} is that
// setting's default, and the settings' section comes from their table.
constexpr std::string_view kHelp =
    "Usage: motormodel-cli step [LOAD] [--csv FILE] [--metrics FILE] [--stats FILE [--from A] [--to B]] [--json FILE]\n"
    "  or:  motormodel-cli gauss [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]] [--json FILE]\n"
    "  or:  motormodel-cli uniform [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]] [--json FILE]\n"
    "  or:  motormodel-cli settings\n"
    "  or:  motormodel-cli characteristic [--csv FILE] [--load L] [--json FILE]\n"
    "  or:  motormodel-cli sweep NAME=VALUES RUN [--csv FILE] [--metrics FILE]\n"
    "  or:  motormodel-cli session SESSION [--csv FILE] [--report FILE]\n"
    "Simulates the induction motor for run.steps steps ({run.steps} by default). Every\n"
    "command but session also takes [--settings FILE]... [--set NAME=VALUE]...,\n"
    "every command that writes CSV [--locale ru], and every run and sweep [--time]\n"
    "and [--session FILE], and every run [--report FILE]\n"
    "\n"
    "Commands:\n"
    "  step [LOAD]           step response to the whole-number load LOAD (refused\n"
    "                        above run.limit, {run.limit} by default); prints the largest Md\n"
    "                        and Omega. LOAD may be left out when the settings give\n"
    "                        step.load\n"
    "  gauss                 load drawn at every step from a normal distribution\n"
    "                        ({gauss.mean}, {gauss.sd})\n"
    "  uniform               load drawn at every step from {uniform.levels} values between {uniform.low}\n"
    "                        and {uniform.high}\n"
    "  settings              print the settings in force as a complete experiment\n"
    "                        file\n"
    "  characteristic        the motor's static characteristic as CSV (Omega,Md,K)\n"
    "                        at 1001 speeds from -w0/p to 1.5 w0/p, to standard\n"
    "                        output unless --csv names a file or --json is given\n"
    "                        alone; speeds without a rest point have no row. The\n"
    "                        d-q model's, from its equivalent circuit, is\n"
    "                        Omega,Md,slip,Is,cos_phi, and its breakdown point\n"
    "                        goes to standard error:\n"
    "                        \"Breakdown point: Omega X Md Y slip S\"\n"
    "  sweep NAME=VALUES RUN\n"
    "                        one RUN (step [LOAD], gauss or uniform, with their\n"
    "                        options) per value of the setting NAME; VALUES is a\n"
    "                        list (0,10,20,30) or A:B:STEP (0:30:10). LOAD is left\n"
    "                        out when NAME is step.load. --csv (standard output by\n"
    "                        default) writes NAME,step,Md,Omega and --metrics\n"
    "                        NAME,trace,segment,..., one block per value. A value\n"
    "                        that is not allowed or whose run fails is reported\n"
    "                        and the others go on; the exit status is the largest\n"
    "                        of the runs'\n"
    "  session SESSION       the chart of a session the window saved, made again\n"
    "                        from its recipes: --csv (standard output by default)\n"
    "                        writes the CSV the window exports of it, its shown\n"
    "                        traces as step[,t],TRACE...; the settings options\n"
    "                        do not apply, the session holds its own. A session\n"
    "                        cut short or with lines lost is refused\n"
    "\n"
    "Options:\n"
    "  --settings FILE       read settings from the experiment file FILE (TOML)\n"
    "  --set NAME=VALUE      set one setting, as a file writes it: --set\n"
    "                        model.J=0.0344, --set step.profile=ramp (a text may\n"
    "                        leave out its quotes). The defaults apply first, then\n"
    "                        every --settings, then every --set, each in the order\n"
    "                        given\n"
    "  --seed N              seed of the random sources ({seed.min} to {seed.max}), over\n"
    "                        run.seed; without either the uniform source is seeded\n"
    "                        from the clock and the Gaussian one not at all\n"
    "  --csv FILE            write the run's Md and Omega as CSV (step,Md,Omega),\n"
    "                        and the d-q model's currents after them\n"
    "                        (step,Md,Omega,Is,ia);\n"
    "                        FILE is replaced only once the whole CSV is written.\n"
    "                        With - the CSV goes to standard output and the\n"
    "                        largest Md and Omega to standard error\n"
    "  --metrics FILE        write the step characteristics of Md and Omega (and of\n"
    "                        the d-q model's Is and ia) as CSV,\n"
    "                        a row for each segment: run-up from the start to the\n"
    "                        first step where the load changes, on while the load\n"
    "                        acts (steps step.on to step.off - 1, {step.on}-{load.last} by\n"
    "                        default) and off after it is removed (to the run's\n"
    "                        end); a load of nothing changes nowhere. Each row:\n"
    "                        initial and final value, peak, trough and their steps,\n"
    "                        rise steps (10% to 90%), settling steps (into 2%),\n"
    "                        overshoot and undershoot in %, the time constant t63\n"
    "                        (steps to 63.2% of the change), the value at the\n"
    "                        segment's end, the model's rest for the segment's\n"
    "                        load and whether the end settled within 2% of it. If\n"
    "                        not, or if the change is within 2% of the segment's\n"
    "                        swing, final, rise, settling, overshoot, undershoot\n"
    "                        and t63 are empty\n"
    "  --stats FILE          write the statistics of Md and Omega (and of the d-q\n"
    "                        model's Is and ia) as CSV: count,\n"
    "                        min, max and their steps, mean, rms and standard\n"
    "                        deviation\n"
    "  --json FILE           write the results as one JSON document: the command,\n"
    "                        the settings in force by name, the outcome (done or\n"
    "                        refused), the step response's load, largest Md and\n"
    "                        Omega and characteristics (as --metrics names them,\n"
    "                        with their times in seconds), and the statistics (as\n"
    "                        --stats names them). For characteristic: the load,\n"
    "                        the operating point, the speeds searched for it and\n"
    "                        the d-q model's breakdown point. null is a value\n"
    "                        left undefined or not measured\n"
    "  --from A, --to B      the steps the statistics of --stats and --json cover,\n"
    "                        both included (the whole run by default)\n"
    "  --time                add times in seconds: a column t after step in --csv,\n"
    "                        the state at step i being at (i + 1) dt, and the\n"
    "                        characteristics' times in --metrics\n"
    "  --locale ru           write every CSV for a spreadsheet in the Russian\n"
    "                        locale: fields separated by ; and a decimal comma,\n"
    "                        each such number quoted\n"
    "  --session FILE        write the session the window would save after the run,\n"
    "                        or after pinning a sweep's members (at most 24), for\n"
    "                        the window to open\n"
    "  --report FILE         (runs and session) write the window's report of the\n"
    "                        run or session, with the mechanical characteristic:\n"
    "                        a PDF, or an OpenDocument text if FILE ends in .odt\n"
    "  --load L              (characteristic) also give the operating point under\n"
    "                        the load L, or step.load, on standard error:\n"
    "                        \"Operating point: Omega X Md Y\"\n"
    "  --help                print this text\n"
    "  --version             print the program's name and version\n"
    "\n"
    "{settings}\n"
    "FILE - is standard output. At most one option writes to standard output, and\n"
    "no two name the same file. CSV numbers read back exactly; an empty cell is a\n"
    "value left undefined, such as the rise of a signal that ends where it\n"
    "started; JSON numbers read back exactly too. A refused or failed run writes\n"
    "no characteristics and no statistics; the JSON of a refused run says so.\n"
    "\n"
    "*Exit status*\n"
    "  0  done\n"
    "  1  the load is not an integer, the run overflowed or an output could not be\n"
    "     written (\"motormodel-cli: write error: REASON\" for standard output,\n"
    "     \"motormodel-cli: cannot write 'FILE': REASON\" for a file)\n"
    "  2  usage error, named on one line, or a setting or experiment file that is\n"
    "     not allowed\n"
    "  3  load refused\n"
    "\n"
    "Examples:\n"
    "The step response to a load of 10, with its points and characteristics\n"
    "  $ motormodel-cli step 10 --csv run.csv --metrics metrics.csv\n"
    "\n"
    "Statistics of a repeatable Gaussian run over its second half\n"
    "  $ motormodel-cli gauss --seed 7 --stats - --from 1000 --to 1999\n"
    "\n"
    "An experiment file with twice the inertia, then a run from it\n"
    "  $ motormodel-cli settings --set model.J=0.0344 > lab1.toml\n"
    "  $ motormodel-cli step 10 --settings lab1.toml --csv -\n"
    "\n"
    "A family of step responses, one block per load\n"
    "  $ motormodel-cli sweep step.load=0:30:10 step --csv loads.csv\n"
    "\n"
    "The step response's results as one JSON document, for a script\n"
    "  $ motormodel-cli step 10 --json results.json\n"
    "\n"
    "The static characteristic and the operating point under a load of 10\n"
    "  $ motormodel-cli characteristic --load 10 --csv curve.csv\n"
    "\n"
    "The chart of a session saved by the window, as CSV\n"
    "  $ motormodel-cli session lab1.session.toml --csv chart.csv\n"
    "\n"
    "The window's report of a session, as a PDF\n"
    "  $ motormodel-cli session lab1.session.toml --report lab1.pdf\n";

} // namespace

std::string HelpText()
{
    const Settings defaults;
    const Allowed& seeds = SettingSpecOf("run.seed").allowed;
    std::vector<std::pair<std::string, std::string>> fills{
        {"{settings}", SettingsHelp()},
        {"{seed.min}", seeds.min.value},
        {"{seed.max}", seeds.max.value},
        {"{load.last}", std::to_string(defaults.LoadOff() - 1)},
    };
    for (std::string_view name : SettingNames())
        if (const std::optional<SettingValue> value = GetSetting(defaults, name))
            fills.emplace_back("{" + std::string(name) + "}", ShownText(*value));
    std::string help(kHelp);
    for (const auto& [key, text] : fills)
        if (const std::size_t at = help.find(key); at != std::string::npos)
            help.replace(at, key.size(), text);
    return help;
}

} // namespace cli
