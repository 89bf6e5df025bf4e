/*
 * payfmt components: creation by name, reference counting and dispatch of
 * properties and methods by member identifier (dispid) or by name.
 *
 * A component (the TVR and TSI sequences, parsers, the settings object) is a
 * reference-counted object reached only through its members. Each member has
 * a name, unique within the component and compared without regard to ASCII
 * case, and a dispid. Properties are read and written, methods are called,
 * always with VEXVARIANT values (see vex.h).
 *
 * Conventions that hold for every function in this header:
 *
 *  - Every function takes the process-wide lock, so calls from several
 *    threads are serialised; no exception leaves a function.
 *  - Status results are 32-bit codes: 0 is success, a value with the top bit
 *    set is a failure. A failure also replaces the calling thread's error
 *    record (KORGetErrorInfo in vex.h) with code, source and description.
 *  - Reference counts. A KOROBJ returned by KORCreateObjectA, or held in a
 *    VEXVARIANT of type VEXVT_OBJECT, carries one reference that belongs to
 *    the receiver: release it with KORRelease (or VEXVarClear for the
 *    variant). KORAddRef takes one more reference, each of which needs its
 *    own KORRelease. A component is destroyed when its last reference goes;
 *    using a KOROBJ after that is undefined, as with any freed pointer.
 *  - Arguments (args, nargs) are only read: the caller keeps them and
 *    releases them after the call. args may be null when nargs is 0.
 *  - A result VEXVARIANT must be initialised (VEXVarInit or a previous
 *    result); its old content is released and replaced. It belongs to the
 *    caller, who releases it with VEXVarClear. On failure it is left empty.
 *  - Texts handed out inside KORCOMPONENTINFO and KORMEMBERINFO belong to the
 *    component's class description: they stay valid while the caller holds
 *    a reference to the component, and must not be freed.
 */
#ifndef PAYFMT_KOR_H
#define PAYFMT_KOR_H

#include <stdint.h>

#include "export.h"
#include "vex.h"

PAYFMT_EXTERN_C_BEGIN

/* ---- Dispatch flags (combine METHOD and GET to call or read) ------------ */

#define KOR_DISPATCH_METHOD 1u /* call a method */
#define KOR_DISPATCH_GET 2u    /* read a property (indices in args) */
#define KOR_DISPATCH_PUT 4u    /* write a property: indices first, value last */

/* ---- Dispatch status codes ----------------------------------------------- */

#define KOR_E_MEMBERNOTFOUND 0x80020003u /* no member with that dispid or name */
#define KOR_E_PARAMNOTFOUND 0x80020004u  /* a put without a value */
#define KOR_E_TYPEMISMATCH 0x80020005u   /* an argument of the wrong type */
#define KOR_E_UNKNOWNNAME 0x80020006u    /* KORGetIDsOfNamesA: no member of that name */
#define KOR_E_NONAMEDARGS 0x80020007u    /* named arguments are not supported */
#define KOR_E_EXCEPTION 0x80020009u      /* the component failed; see the exception record */
#define KOR_E_OVERFLOW 0x8002000Au       /* a number outside the range of its parameter */
#define KOR_E_BADINDEX 0x8002000Bu       /* an index outside an indexed property */
#define KOR_E_BADPARAMCOUNT 0x8002000Eu  /* wrong number of arguments */

/* The codes components raise themselves: the dispatch codes above with the
   top two bits set (0x8002xxxx becomes 0xC002xxxx). Component-specific
   failures carry their own codes (for example 0xE2060002). */
#define KOR_C_MEMBERNOTFOUND 0xC0020003u
#define KOR_C_PARAMNOTFOUND 0xC0020004u
#define KOR_C_TYPEMISMATCH 0xC0020005u
#define KOR_C_OVERFLOW 0xC002000Au
#define KOR_C_BADINDEX 0xC002000Bu
#define KOR_C_BADPARAMCOUNT 0xC002000Eu
#define KOR_C_NOTSUPPORTED 0xC0004001u

/* ---- Exception record ---------------------------------------------------
   Filled by KORInvoke and KORInvokeByNameA when a call fails. The texts are
   allocated by the library and belong to the caller, who releases them with
   KORExcepInfoClear. A record passed in must be zeroed or hold the texts of
   an earlier call: the library releases them before filling it again, and
   leaves the record zeroed when the call succeeds. */
typedef struct KOREXCEPINFO {
    uint32_t code;         /* the failure's own code, e.g. 0xC0020003 */
    char *source;          /* where it was raised; never null once filled */
    char *description;     /* the message; never null once filled */
    char *help_file;       /* may be empty */
    uint32_t help_context;
} KOREXCEPINFO;

/* Frees the texts of the record and zeroes it; null is ignored. */
PAYFMT_API void KORExcepInfoClear(KOREXCEPINFO *excep);

/* ---- Creation and reference counts --------------------------------------- */

/* Creates the component registered under name (without regard to case): a
   component name such as "TVR" or a programmatic name such as
   "Quorvin.EMV.TVR". args are the creation arguments; most components take
   none. *obj receives one reference (null on failure). An unknown name fails
   with VEX_E_CLASSNOTREG. */
PAYFMT_API uint32_t KORCreateObjectA(const char *name, const VEXVARIANT *args, uint32_t nargs,
                                     KOROBJ *obj);
/* Takes one more reference; returns the new count (0 for null). */
PAYFMT_API uint32_t KORAddRef(KOROBJ obj);
/* Gives one reference back; returns the remaining count, 0 when the component
   was destroyed (and for null). */
PAYFMT_API uint32_t KORRelease(KOROBJ obj);
/* Number of components alive in the process (for leak checks). */
PAYFMT_API uint32_t KORObjectCount(void);

/* ---- Dispatch ------------------------------------------------------------ */

/* *dispid := the dispid of the member named name, compared without regard
   to case. No such member: KOR_E_UNKNOWNNAME and *dispid = -1. */
PAYFMT_API uint32_t KORGetIDsOfNamesA(KOROBJ obj, const char *name, int32_t *dispid);

/* Reads or writes a property or calls a method.
   flags: KOR_DISPATCH_METHOD and/or KOR_DISPATCH_GET, or KOR_DISPATCH_PUT
   alone. With both METHOD and GET the member's kind decides. For a get,
   args are the indices of an indexed property (none for a plain one); for a
   put the value is the last argument and any before it are indices; for a
   method, args are its arguments, the first at index 0. A method with an
   in/out argument (a parser's Compile message) writes its new value back
   into that element of args, which the caller still owns and clears.
   result may be null when the caller does not want the value; a method
   without a value of its own answers the integer 0.

   Failures, when excep is given: the record is filled, and the status is the
   dispatch code for dispatch failures (KOR_E_MEMBERNOTFOUND,
   KOR_E_PARAMNOTFOUND, KOR_E_BADPARAMCOUNT, KOR_E_TYPEMISMATCH,
   KOR_E_OVERFLOW, KOR_E_BADINDEX) or KOR_E_EXCEPTION for a failure of the
   component itself.
   When excep is null, the status is the failure's own code with the top two
   bits set (0xC0020003 for an unknown member, 0xE2060002 for a bad TVR
   value). Either way the thread's error record holds the details.
   A null obj or a null args with nargs > 0 gives VEX_E_POINTER, flags of any
   other combination VEX_E_INVALIDARG, both without touching excep. */
PAYFMT_API uint32_t KORInvoke(KOROBJ obj, int32_t dispid, uint32_t flags, VEXVARIANT *args,
                              uint32_t nargs, VEXVARIANT *result, KOREXCEPINFO *excep);

/* KORInvoke after resolving name as KORGetIDsOfNamesA does. An unknown name
   is an unknown member: KOR_E_MEMBERNOTFOUND (0xC0020003 without excep). */
PAYFMT_API uint32_t KORInvokeByNameA(KOROBJ obj, const char *name, uint32_t flags,
                                     VEXVARIANT *args, uint32_t nargs, VEXVARIANT *result,
                                     KOREXCEPINFO *excep);

/* ---- Descriptions -------------------------------------------------------- */

#define KOR_MEMBER_PROPERTY 1u
#define KOR_MEMBER_METHOD 2u
#define KOR_MEMBER_CONSTANT 3u /* a read-only property whose value is fixed */

typedef struct KORCOMPONENTINFO {
    const char *name;        /* component name, e.g. "TVR" */
    const char *class_name;  /* e.g. "TTVR" */
    const char *class_id;    /* "e3653435-c7bf-0000-bd9c-87f1eae8eba9"; "" when none */
    const char *description; /* may be empty */
    const char *help_link;   /* help file "#" topic; may be empty */
    uint32_t member_count;
} KORCOMPONENTINFO;

typedef struct KORMEMBERINFO {
    const char *name;
    int32_t dispid;
    uint32_t kind;           /* KOR_MEMBER_* */
    const char *description;
    const char *help_link;   /* help file "#" topic; may be empty */
    uint32_t attributes;     /* flag word of a property; 0 for methods */
} KORMEMBERINFO;

/* Describes the component's class. */
PAYFMT_API uint32_t KORGetComponentInfoA(KOROBJ obj, KORCOMPONENTINFO *info);
/* Describes member index (from 0, in declaration order). An index at or
   beyond member_count: VEX_E_BADINDEX. */
PAYFMT_API uint32_t KORGetMemberInfoA(KOROBJ obj, uint32_t index, KORMEMBERINFO *info);

PAYFMT_EXTERN_C_END

#endif
