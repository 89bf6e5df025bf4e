/*
 * payfmt format functions: apply, validate and check formats of the operator
 * language on the library's default parser, convert between raw bytes and
 * IStr text, compile and parse value trees with the default parser, hand out
 * the default parser and the settings component, a shared counter, and
 * conversions between date texts and serial dates. C++ code finds one more
 * conversion, for std::string, in format.hpp.
 *
 * IStr text is how raw bytes cross this interface: printable ASCII other
 * than "#" stands for itself, every other byte is "#" and two hexadecimal
 * digits ("AB#00#0D").
 *
 * Every function here follows the contract stated at the top of vex.h:
 * status results and the thread's error record, the out-parameter rule
 * (marked [out]: written first, never read or freed), ownership, and
 * threads. What this header adds:
 *
 *  - Text arguments are NUL-terminated; a null pointer reads as empty text.
 *  - Format functions return a status: 0 for success, otherwise the code of
 *    the most severe report of the call (bits 31-30: 3 error, 2 warning,
 *    1 information), for example 0xE2060001 for an unknown operator. The
 *    report is also published as the calling thread's error record
 *    (KORGetErrorInfo in vex.h) with the message as description. A call
 *    that cannot run at all answers a VEX_E_* code (VEX_E_NOMEMORY, or
 *    VEX_E_POINTER where a function says so).
 *  - A format call: every function here except FormatErrorTextA,
 *    GetFormatRef and the counter functions starts one. It clears the
 *    calling thread's error record and format error context first, so that
 *    KORGetErrorInfo and FormatErrorTextA then tell about this call alone
 *    (CFormatRawToIStr clears the context only). The methods of the parsers
 *    and of the settings component work through the same per-thread
 *    context, and may start it afresh too.
 *  - A VEXBUF result is [out]: set to null before anything else, never read,
 *    then set to a new buffer when there is one. The buffer belongs to the
 *    caller (VEXBufFree / VEXBufClear). A result may come back together
 *    with a non-zero status: it is what the operators produced before the
 *    failure. Where a function says "may be null", a null result pointer
 *    means the caller does not want the result.
 *  - error_node: 0, or a tree node under which the call attaches a child node
 *    with "EC" (the code) and "Error" (the message) when it reports something
 *    (FormatValidateA). It is not kept after the call.
 *  - Threads: calls are serialised by the library's process-wide lock. The
 *    format error context is per thread: the reports of one thread's calls
 *    are never hidden or mixed by another thread's calls. The default
 *    parser, the settings and the counter are shared by every thread.
 */
#ifndef PAYFMT_FORMAT_H
#define PAYFMT_FORMAT_H

#include "kor.h"
#include "vex.h"

PAYFMT_EXTERN_C_BEGIN

/* Applies the input chain format to value (IStr text) and hands back the
   bytes it produced as IStr text. Starts a format call.
   result [out, may be null]: null first, then a new buffer with the IStr
   text of the bytes produced; null when the chain produced nothing.
   Returns 0 or the code of the most severe report: 0xE2060001 for an
   unknown operator, 0xE2060029 for a value that is not IStr text (a bad
   escape), 0xE2060028 for data that must be decimal and is not,
   0xA2060025 (a warning, with a result) for too few characters. */
PAYFMT_API uint32_t FormatInputA(const char *value, const char *format, VEXBUF *result, VEXNODE error_node);

/* Applies the output chain format to value (IStr text) and hands back the
   result as IStr text; arguments, result and statuses as FormatInputA. */
PAYFMT_API uint32_t FormatOutputA(const char *value, const char *format, VEXBUF *result, VEXNODE error_node);

/* Applies an input chain and validates its result with mask (empty: no
   mask); bytes of value that the chain did not use are reported
   (0x62060013, information). Starts a format call.
   Returns 0 or the code of the most severe report, for example 0x62060011
   for a character outside the mask, 0xA2060025 for too few characters.
   With an error_node the reports are written under it, and afterwards the
   thread's context keeps only the last of its severe reports (what
   FormatErrorTextA then answers); without one they stay whole. */
PAYFMT_API uint32_t FormatValidateA(const char *value, const char *format, const char *mask, VEXNODE error_node);

/* Checks the syntax of a format without running it. Checking ends, without a
   report, at the first name that is not an operator. An empty format is
   valid. Starts a format call.
   Returns 0 or the code of the report, for example 0xE206002D for a
   malformed parameter list (an unclosed parenthesis). */
PAYFMT_API uint32_t FormatValidateFmtA(const char *format, VEXNODE error_node);

/* Decodes IStr text. Starts a format call.
   result [out, may be null]: null first, then a new buffer with the bytes;
   null for empty text.
   Returns 0, or the status of the failure (0xE2060029 for a bad escape)
   with *result null. */
PAYFMT_API int32_t FormatIStrToRawA(const char *value, VEXBUF *result);

/* The IStr text of the bytes of a string or blob variant, as a string
   variant. Starts a format call.
   result [out, with the one exception to the rule]: for a string or blob
   value it is emptied first and then receives the text; for any other
   value, and for a null value or result, it is left as it is, still
   unread, and the call answers 0. It must not be value.
   Returns 0; VEX_E_INVALIDARG when result is value (nothing written). */
PAYFMT_API int32_t FormatRawToIStrA(const VEXVARIANT *value, VEXVARIANT *result);

/* The IStr text of the bytes of a buffer (null: no bytes). Clears the
   calling thread's format error context, not its error record.
   result [out, may be null]: null first, then a new buffer with the text
   (an empty buffer, not null, for no bytes); null on failure, with the
   thread's error record set. */
PAYFMT_API void CFormatRawToIStr(VEXBUF bytes, VEXBUF *result);

/* The messages the calling thread's last format call reported: with
   detailed set, every message followed by CR LF; otherwise the last
   message. Other threads' calls neither hide nor change them. Does not
   start a format call: it may be called any number of times.
   text [out]: null first, then a new buffer with the messages; null when
   the last call reported nothing.
   Returns 0; VEX_E_POINTER for a null text. */
PAYFMT_API uint32_t FormatErrorTextA(int32_t detailed, VEXBUF *text);

/* Value trees and components. The tree functions run the default parser
   ("Default", a fixed-format parser) over a value tree: each field's value is
   the node property named value_name ("Value" is the library's own name).
   For the length of the call that name replaces the library's value property
   name, which every parser reads; the name before it is back when the call
   returns, whether it succeeded or not. The reserved arguments are not read.
   A failure that ends the call early gives its code (VEX_E_HANDLE for a tree
   handle that names no node) with the thread's error record set. */

/* Compiles the value tree into a message. Starts a format call.
   result [out, may be null]: null first, then a new buffer with the message
   as IStr text; null when the message is empty.
   Returns 0 or the code of the most severe report (0xE2060060 for a value
   that is not a blob); VEX_E_HANDLE for a stale tree. */
PAYFMT_API uint32_t FormatTGetA(VEXNODE tree, void *reserved1, const char *value_name, VEXBUF *result,
                                void *reserved2);

/* Parses message (IStr text, not empty) into the value tree. Starts a
   format call.
   Returns 0 or the code of the most severe report: KOR_C_TYPEMISMATCH for an
   empty message, 0xE2060029 for a bad escape, 0xA2060025 for a message too
   short for its fields; VEX_E_HANDLE for a stale tree. */
PAYFMT_API uint32_t FormatTSetA(const char *message, VEXNODE tree, void *reserved1, const char *value_name,
                                void *reserved2);

/* parser [out]: a new reference to the default parser, the same parser on
   every call, open from load. The reference belongs to the caller
   (KORRelease). Starts a format call.
   *parser is set to null first, as every out parameter.
   Returns 0, or VEX_E_POINTER for a null parser, its one failure. */
PAYFMT_API int32_t GetDefaultParser(KOROBJ *parser);

/* settings [out]: a new reference to the settings component, the one object
   through which scripts read and change the library's settings (code page,
   date reference and year windows, registered operator sequences), call the
   date functions and create parsers. The reference belongs to the caller
   (KORRelease).
   *settings is set to null first, as every out parameter.
   Returns 0, or VEX_E_POINTER for a null settings, its one failure. */
PAYFMT_API int32_t GetFormatRef(KOROBJ *settings);

/* A process-wide counter, shared by every thread, 0 at load; IncCounter
   answers the new value and wraps at 2^32. Under the process lock, so
   IncCounter never hands the same value to two threads between wraps. No
   status and no error record. */
PAYFMT_API uint32_t GetCounter(void);
PAYFMT_API uint32_t IncCounter(void);
PAYFMT_API void SetCounter(uint32_t value);

/* Dates. An IDate is the 14-character text "YYYYMMDDhhmmss"; a serial date
   counts days from 30 December 1899 (day 0) in its whole part, and its
   fraction is the time of day. Both cover the years 0 to 9999 of the
   Gregorian calendar. Each starts a format call; on failure it publishes
   the calling thread's error record as the format functions do. */

/* serial [out, written on success]: the serial date of the first 14
   characters of idate. Returns 0, or the status of the failure with
   *serial unchanged: 0xA2060030 for fewer than 14 characters, 0x62060031
   for a non-digit, 0x62060033 for an all-zero date, 0x62060032 for a part
   outside the calendar (a month 13, 30 February, an hour 24),
   VEX_E_POINTER for a null serial. */
PAYFMT_API int32_t IDateToSerial(const char *idate, double *serial);

/* Writes the IDate of a serial date, rounded to the second, into the
   caller's array idate (14 characters and a NUL). Returns 0, or the status of the failure with idate
   empty: 0xE2060005 for a value that is not finite, 0x62060032 for a date
   outside the years 0 to 9999, VEX_E_POINTER for a null idate. */
PAYFMT_API int32_t SerialToIDate(double serial, char idate[15]);

/* A random serial date: the lower bound plus a whole number of days from 0
   to the whole part of the distance between the bounds, inclusive; the
   bounds may come in either order. NaN when a bound is not a serial date of
   the years 0 to 9999, with the thread's error record set. */
PAYFMT_API double Date_Rnd(double lowest, double highest);

PAYFMT_EXTERN_C_END

#endif
