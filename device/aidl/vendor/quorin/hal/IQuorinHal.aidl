/*
 * SPDX-License-Identifier: Apache-2.0
 */
package vendor.quorin.hal;

/**
 * The front panel and the microphone of the Quorin device, for platform clients. Served by the
 * vendor process that hosts libquorin_hal, one call at a time.
 *
 * A request the hardware ignores or skips (already in force, refused while the panel is in
 * standby, outside the request table) is a success: the caller learns what the panel shows from
 * the panel, not from the status. A negative LED state or colour is EX_ILLEGAL_ARGUMENT, with a
 * message, and nothing is written. A fault inside the service is EX_SERVICE_SPECIFIC
 * (ERROR_PLATFORM_FAULT) or EX_ILLEGAL_STATE, with a message; the service goes on serving.
 */
@VintfStability
interface IQuorinHal {
    /**
     * The service-specific error of a call that met a fault of the platform's components (an
     * exception thrown by the audio output port or the system-control client); the message names
     * it. Nothing is known to have been changed, and the service goes on serving.
     */
    const int ERROR_PLATFORM_FAULT = 1;

    /**
     * Applies an LED state request to the three front-panel LEDs (remote, green, sys): for
     * example (0, 0) standby (green alone, steady), (0, 1) all three steady, (1, 200) remote
     * blinking, (3, 2) one flash of all LEDs and back to the previous pattern (about 100 ms). In
     * standby only led index 0 is applied. An applied request, the flash apart, is saved and
     * replayed when the service starts again.
     *
     * @param ledIndex which request family; any value
     * @param ledState the state within it; negative is EX_ILLEGAL_ARGUMENT
     */
    void setLedState(in int ledIndex, in int ledState);

    /**
     * Selects the colour pattern and keeps the panel steady or blinking as it is: 10 all LEDs,
     * 2 green (standby), 0 remote; other colours are recorded with no pattern of their own. The
     * request is saved and replayed when the service starts again.
     *
     * @param ledIndex recorded with the request; any value
     * @param color the colour code; negative is EX_ILLEGAL_ARGUMENT
     */
    void setLedColor(in int ledIndex, in int color);

    /**
     * Mutes or unmutes the microphone: the ADC3101's mute control first, then the microphone's
     * audio patch of the audio output port is released (mute) or created (unmute) and its state
     * recorded in vendor.quorin.micstate.
     *
     * @param muted true mutes, false unmutes
     */
    void setMicMuted(in boolean muted);

    /**
     * Sets the capture volume, clamped to 0..100, written to the ADC3101's volume control as the
     * register value 12 + volume / 5 (12..32).
     *
     * @param volume 0..100; values outside are clamped
     */
    void setMicVolume(in int volume);

    /**
     * @return the capture volume last set, clamped (0..100); 0 before any set since the service
     *     started
     */
    int getMicVolume();

    /**
     * Sets the echo level, clamped to 0..100, and sends it to the audio output port as the
     * echo-decay weight ("audio_echo_decay=LEVEL"). A port that refuses it is logged by the
     * service; the call still succeeds.
     *
     * @param level 0..100; values outside are clamped
     */
    void setMicEchoLevel(in int level);

    /**
     * @return the echo level last set, clamped (0..100); 0 before any set since the service
     *     started
     */
    int getMicEchoLevel();
}
