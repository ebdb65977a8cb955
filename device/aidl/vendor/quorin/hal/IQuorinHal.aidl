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
 * the panel, not from the status. A negative LED state or colour, and a negative led index of a
 * colour request, is EX_ILLEGAL_ARGUMENT, with a message, and nothing is written or saved. A
 * fault inside the service is EX_SERVICE_SPECIFIC (ERROR_PLATFORM_FAULT) or EX_ILLEGAL_STATE,
 * with a message; the service goes on serving.
 *
 * What a status cannot tell: whether a device attribute or a property took its write. The
 * library does not report those failures; the service reads back at start-up what it set (the
 * ADC's mute, the patch record vendor.quorin.micstate, the saved LED request as the replay reads
 * it) and logs what disagrees. Nothing here reads the LEDs or the mute state back: the dump
 * (dumpsys vendor.quorin.hal.IQuorinHal/default) shows the LEDs and the ADC as read back, the
 * patch record, the saved request and what start-up found.
 *
 * After the service restarts, only the saved LED request comes back, as described at each
 * method: the library replays the saved (led index, LED state) as a setLedState request, from
 * the pattern of a new process (all LEDs blinking); the colour saved beside it is not applied.
 * The saved request lives in non-persistent properties: after a reboot nothing comes back.
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
     * standby only led index 0 is applied. An applied request, the flash apart, is saved, and
     * after a restart it is applied again. A request that is skipped as already in force leaves
     * the saved one, which shows the same; one refused in standby, outside the request table or
     * the flash saves nothing, and the request saved before comes back.
     *
     * @param ledIndex which request family; any value (a negative one is outside the table)
     * @param ledState the state within it; negative is EX_ILLEGAL_ARGUMENT
     */
    void setLedState(in int ledIndex, in int ledState);

    /**
     * Selects the colour pattern and keeps the panel steady or blinking as it is: 10 all LEDs,
     * 2 green (standby), 0 remote; other colours are recorded with no pattern of their own.
     *
     * The request is saved as (ledIndex, 1 on a steady panel or 2 on a blinking one, color), and
     * after a restart it comes back as the state request (ledIndex, 1 or 2), not as a colour:
     * ledIndex 0 on a steady panel comes back as all three LEDs steady on, whatever the colour;
     * ledIndex 3 on a blinking panel as one flash of all LEDs, then all of them blinking; any
     * other pair is outside the request table and nothing is drawn (the LEDs show what they
     * showed before the restart; after a reboot nothing is saved at all).
     *
     * @param ledIndex saved with the request; negative is EX_ILLEGAL_ARGUMENT (it would be saved
     *     as "nothing saved", losing the request saved before)
     * @param color the colour code; negative is EX_ILLEGAL_ARGUMENT
     */
    void setLedColor(in int ledIndex, in int color);

    /**
     * Mutes or unmutes the microphone: the ADC3101's mute control first, then the microphone's
     * audio patch of the audio output port is released (mute) or created (unmute) and its state
     * recorded in vendor.quorin.micstate. Not saved: the service starts with the microphone
     * muted. The status does not say whether the ADC or the record took the write.
     *
     * @param muted true mutes, false unmutes
     */
    void setMicMuted(in boolean muted);

    /**
     * Sets the capture volume, clamped to 0..100, written to the ADC3101's volume control as the
     * register value 12 + volume / 5 (12..32). Not saved: after a restart getMicVolume() reads 0
     * until it is set, while the ADC keeps the register last written.
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
     * service; the call still succeeds. Not saved: after a restart getMicEchoLevel() reads 0 and
     * the port is sent nothing until it is set.
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
