#include "hal_sim_view.h"

// A device has no simulated port to report on.
std::string simulated_port_summary() {
    return "";
}
