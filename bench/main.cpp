// The benchmarks' entry point: the toolkit is initialised (without a
// display) for those that draw pictures.
#include <benchmark/benchmark.h>

#include <wx/init.h>

int main(int argc, char** argv) {
    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
