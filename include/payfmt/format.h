/*
 * payfmt format functions: apply, validate and check formats of the operator
 * language on the library's default parser, convert between raw bytes and
 * IStr text, compile and parse value trees with the default parser, hand out
 * the default parser and the settings component, a shared counter, and
 * conversions between date texts and serial dates.
 *
 * IStr text is how raw bytes cross this interface: printable ASCII other
 * than "#" stands for itself, every other byte is "#" and two hexadecimal
 * digits ("AB#00#0D").
 *
 * Conventions:
 *  - Text arguments are NUL-terminated; a null pointer reads as empty text.
 *  - Format functions return a status: 0 for success, otherwise the code of
 *    the most severe report of the call (bits 31-30: 3 error, 2 warning,
 *    1 information). The report is also published as the calling thread's
 *    error record (KORGetErrorInfo in vex.h) with the message as description.
 *  - A VEXBUF result is first set to null, then to a new buffer when there is
 *    one. The buffer belongs to the caller (VEXBufFree / VEXBufClear). A result
 *    may come back together with a non-zero status: it is what the operators
 *    produced before the failure.
 *  - error_node: 0, or a tree node under which the call attaches a child node
 *    with "EC" (the code) and "Error" (the message) when it reports something
 *    (FormatValidateA). It is not kept after the call.
 *  - Calls are serialised by the library's process-wide lock.
 */
#ifndef PAYFMT_FORMAT_H
#define PAYFMT_FORMAT_H

#include "kor.h"
#include "vex.h"

PAYFMT_EXTERN_C_BEGIN

/* Applies an input chain to value (IStr) and returns the bytes it produced
   as IStr text in *result. */
PAYFMT_API uint32_t FormatInputA(const char *value, const char *format, VEXBUF *result, VEXNODE error_node);

/* Applies an output chain to value (IStr) and returns the result as IStr. */
PAYFMT_API uint32_t FormatOutputA(const char *value, const char *format, VEXBUF *result, VEXNODE error_node);

/* Applies an input chain and validates its result with mask; bytes of value
   that the chain did not use are reported (0x62060013). */
PAYFMT_API uint32_t FormatValidateA(const char *value, const char *format, const char *mask, VEXNODE error_node);

/* Checks the syntax of a format without running it. Checking ends, without a
   report, at the first name that is not an operator. */
PAYFMT_API uint32_t FormatValidateFmtA(const char *format, VEXNODE error_node);

/* Decodes IStr text into *result (null for empty text). Returns 0, or the
   status of the failure (0xE2060029 for a bad escape) with *result null. */
PAYFMT_API int32_t FormatIStrToRawA(const char *value, VEXBUF *result);

/* *result := the IStr text (a string variant) of the bytes of a string or
   blob variant; other values leave *result unchanged. Returns 0 or a status. */
PAYFMT_API int32_t FormatRawToIStrA(const VEXVARIANT *value, VEXVARIANT *result);

/* *result := a new buffer with the IStr text of the bytes. */
PAYFMT_API void CFormatRawToIStr(VEXBUF bytes, VEXBUF *result);

/* *text := the messages the last format call reported: with detailed set,
   every message followed by CR LF; otherwise the last message. Empty (null)
   when the last call reported nothing. */
PAYFMT_API uint32_t FormatErrorTextA(int32_t detailed, VEXBUF *text);

/* Value trees and components. The tree functions run the default parser
   ("Default", a fixed-format parser) over a value tree: each field's value is
   the node property named value_name ("Value" is the library's own name).
   For the length of the call that name replaces the library's value property
   name, which every parser reads; the name before it is back when the call
   returns, whether it succeeded or not. The reserved arguments are not read.
   A failure that ends the call early gives its code (VEX_E_HANDLE for a tree
   handle that names no node) with the thread's error record set. */

/* Compiles the value tree into a message and returns it as IStr text in
   *result (null when the message is empty). */
PAYFMT_API uint32_t FormatTGetA(VEXNODE tree, void *reserved1, const char *value_name, VEXBUF *result,
                                void *reserved2);

/* Parses message (IStr text, not empty) into the value tree. */
PAYFMT_API uint32_t FormatTSetA(const char *message, VEXNODE tree, void *reserved1, const char *value_name,
                                void *reserved2);

/* *parser := a new reference to the default parser, the same parser on every
   call, open from load. Returns 0, or VEX_E_POINTER for a null parser. The
   reference belongs to the caller (KORRelease). */
PAYFMT_API int32_t GetDefaultParser(KOROBJ *parser);

/* *settings := a new reference to the settings component, the one object
   through which scripts read and change the library's settings (code page,
   date reference and year windows, registered operator sequences), call the
   date functions and create parsers. Returns 0 or VEX_E_POINTER; the
   reference belongs to the caller (KORRelease). */
PAYFMT_API int32_t GetFormatRef(KOROBJ *settings);

/* A process-wide counter, 0 at load; IncCounter wraps at 2^32. */
PAYFMT_API uint32_t GetCounter(void);
PAYFMT_API uint32_t IncCounter(void);
PAYFMT_API void SetCounter(uint32_t value);

/* Dates. An IDate is the 14-character text "YYYYMMDDhhmmss"; a serial date
   counts days from 30 December 1899 (day 0) in its whole part, and its
   fraction is the time of day. Both cover the years 0 to 9999 of the
   Gregorian calendar. On failure these functions publish the calling
   thread's error record as the format functions do. */

/* *serial := the serial date of the first 14 characters of idate. Returns 0,
   or the status of the failure with *serial unchanged: 0xA2060030 for fewer
   than 14 characters, 0x62060031 for a non-digit, 0x62060033 for an
   all-zero date, 0x62060032 for a part outside the calendar (a month 13,
   30 February, an hour 24), VEX_E_POINTER for a null serial. */
PAYFMT_API int32_t IDateToSerial(const char *idate, double *serial);

/* Writes the IDate of a serial date, rounded to the second, into idate (14
   characters and a NUL). Returns 0, or the status of the failure with idate
   empty: 0xE2060005 for a value that is not finite, 0x62060032 for a date
   outside the years 0 to 9999, VEX_E_POINTER for a null idate. */
PAYFMT_API int32_t SerialToIDate(double serial, char idate[15]);

/* A random serial date: the lower bound plus a whole number of days from 0
   to the whole part of the distance between the bounds, inclusive; the
   bounds may come in either order. NaN when a bound is not a serial date of
   the years 0 to 9999. */
PAYFMT_API double Date_Rnd(double lowest, double highest);

PAYFMT_EXTERN_C_END

#endif
