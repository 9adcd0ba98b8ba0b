# Host tools (native build only): the payload packing tool and the benchmarks.
