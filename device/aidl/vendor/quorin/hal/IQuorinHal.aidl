// SPDX-License-Identifier: Apache-2.0
package vendor.quorin.hal;

// The front panel and the microphone of the Quorin device, served by the vendor process that
// hosts libquorin_hal. One method per entry point of the library, with its parameters and its
// result: 0, or -1 where the library returns it (a negative LED state or colour). The service
// makes one call at a time.
@VintfStability
interface IQuorinHal {
    int frontPanelSetLedState(int ledIndex, int ledState);
    int frontPanelSetLedColor(int ledIndex, int color);
    int frontPanelInit();
    int frontPanelDeinit();
    int frontPanelGetVersion();
    int frontPanelSetLedStateForVolume(int volume);
    int frontPanelSetBeamformingDegree(int degree);

    int micGetVersion();
    int micInit();
    int micDeinit();
    int micSetOnOff(int off);
    int micGetOnOff();
    int micSetEchoLevel(int level);
    int micGetEchoLevel();
    int micGetEchoMaxLevel();
    int micSetVolume(int volume);
    int micGetVolume();
    int micPause();
    int micResume();
}
