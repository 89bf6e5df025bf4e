/* payfmt: symbol visibility for the public C interface. */
#ifndef PAYFMT_EXPORT_H
#define PAYFMT_EXPORT_H

#if defined(PAYFMT_BUILDING)
#define PAYFMT_API __attribute__((visibility("default")))
#else
#define PAYFMT_API
#endif

#ifdef __cplusplus
#define PAYFMT_EXTERN_C_BEGIN extern "C" {
#define PAYFMT_EXTERN_C_END }
#else
#define PAYFMT_EXTERN_C_BEGIN
#define PAYFMT_EXTERN_C_END
#endif

#endif
