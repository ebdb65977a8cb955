// SPDX-License-Identifier: Apache-2.0
// Control and inspection of the workstation stand-ins for the platform (system properties,
// system-control client, audio output port). Host only: no device build contains any of this.
//
// The stand-ins keep their state in memory. When HAL_SIM_DIR names a directory, the properties
// and the audio port's record persist there, so that they outlive the process as on a device.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace hal_sim {

using PropertyMap = std::map<std::string, std::string>;

// Properties: a snapshot, and a reset to "nothing set" (memory and, if configured, the store file)
// that also ends every refusal below.
PropertyMap properties();
void clear_properties();

// From now on __system_property_set of `key` fails (-1) and changes nothing, as init refuses a
// domain that the policy does not let set it.
void refuse_property_set(const std::string& key);

// Parses the text of a store file; malformed lines are skipped, never fatal.
PropertyMap parse_store(const std::string& text);

// A reboot of the simulated device. init writes only persist.* properties to disk, so every
// other property is gone; the audio port's record starts again empty, as nothing has happened to
// the port of a new boot. False when the store could not be rewritten (it is then unchanged).
bool reboot_device();

// System-control client behaviour (implemented in the client stand-in, libsystemcontrolservice).
struct ClientControl {
    bool available = true;      // getInstance() hands out a client
    int absent_requests = 0;    // ...but not to the first this many calls
    bool retained = true;       // the service keeps its own reference, as a real singleton does
    bool set_fails = false;     // setProperty() changes nothing and reports failure
    int instance_delay_us = 0;  // getInstance() takes this long, to widen races in tests
    // Each getPropertyInt() and setProperty() event of the journal ends " [strong N]": the
    // strong references to the client at that moment, which show who holds it over a call.
    bool note_references = false;
};
void set_client_control(const ClientControl& control);
ClientControl client_control();
int instance_requests();  // getInstance() calls since the last reset_client()
void reset_client();      // default control, count 0, drops the retained client

// Audio output port behaviour for setParameters() (in the port stand-in, libAmlAudioOutPort):
// accept, return `status`, or throw std::runtime_error, std::bad_alloc, std::logic_error or an
// exception not derived from std::exception.
enum class ParameterFault {
    kNone,
    kStatus,
    kStdException,
    kBadAlloc,
    kLogicError,
    kForeignException
};
void set_parameter_fault(ParameterFault fault, int status = 0);

// What a non-standard exception from the port looks like to a catcher.
struct ForeignException {
    int code;
};

// Ordered record of what happened to the client, the port and the property functions in this
// process, for example "client.getInstance", "client.setProperty vendor.quorin.ledindex=0",
// "property.set vendor.quorin.micstate=1" (__system_property_set), "port.created",
// "port.createAudioPatchTarsk", "port.setParameters audio_echo_decay=40", "port.destroyed".
// Off until a test turns it on: a long-running user of the stand-ins would keep every event.
std::vector<std::string> journal();
void clear_journal();
void record(const std::string& event);
void set_journal_enabled(bool enabled);

// The audio port's persistent record under HAL_SIM_DIR ("audio_port", one event a line).
std::vector<std::string> port_record();

}  // namespace hal_sim
