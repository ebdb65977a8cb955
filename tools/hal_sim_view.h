// On a workstation, a one-line summary of the simulated audio port's record; "" on a device.
#pragma once

#include <string>

std::string simulated_port_summary();
