#ifndef CD722DUSB_H
#define CD722DUSB_H

/*
 * libcd722dusb.so: the customer display's USB library as kundendisplay-test calls it.
 *
 * This stand-in drives the virtual customer display (kundendisplay-sim) over its Unix-domain
 * socket instead of a device. A vendor library with the same three entry points takes its place
 * when it lies in a folder of LD_LIBRARY_PATH.
 */

#include <stdint.h>

#if defined(CD722DUSB_BUILD)
#define CD722DUSB_API __attribute__((visibility("default")))
#else
#define CD722DUSB_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Connects to a running virtual display. Returns 1 when it reached one (or is still connected),
 * 0 when none is running, it already serves another client, or it does not answer within 2 s. */
CD722DUSB_API uint8_t opencd722usb(void);

/* Sends count bytes starting at first, in order. Returns count, or -1 when not open, when the
 * display has gone away, or when it does not take the bytes within 2 s (the connection is then
 * closed; open again to reconnect). */
CD722DUSB_API int32_t writecd722usb(const uint8_t *first, int32_t count);

/* Disconnects. Returns 0, also when nothing was open. */
CD722DUSB_API int16_t closecd722usb(void);

#ifdef __cplusplus
}
#endif

#endif
