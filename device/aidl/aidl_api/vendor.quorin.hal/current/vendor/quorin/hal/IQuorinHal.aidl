// SPDX-License-Identifier: Apache-2.0
package vendor.quorin.hal;
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
