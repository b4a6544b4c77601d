/*
 * quillon_plugin.h - the interface between the Quillon input panel and a
 * plug-in library.
 *
 * A template definition entry of the kind "plugin_<name>" makes the input
 * panel load the shared library <name> + ".dll" / ".so" / ".dylib" from the
 * program's directory (<name> in lower case) and place a panel in that row,
 * in which the library shows its own controls. The library exports these
 * functions with C linkage:
 *
 *   Init       required  once after loading
 *   GetHeight  required  once after Init; the result becomes the panel height
 *   SetWidth   required  after GetHeight, and again whenever the panel's
 *                        width changes
 *   GetValue   optional  whenever the owner reads the panel's values
 *   SetValue   optional  whenever the owner sets a value for the panel's name
 *   DeInit     optional  before the library is unloaded
 *
 * A library without Init, GetHeight or SetWidth is reported to the user
 * ("Oops: GetHeight not found"), DeInit is called when present, and the
 * library is unloaded; the calls already made stay made.
 *
 * Every function gets the TNewsroom of its panel. One library may serve
 * several panels at once (two rows of the same plug-in load it once), so a
 * plug-in keeps its per-panel state in TNewsroom.userdata, never in globals.
 * All calls come from the program's user-interface thread.
 *
 * Texts are UTF-8 and zero-terminated. Texts handed to the plug-in are never
 * NULL (an empty text is ""), stay valid until DeInit returns, and belong to
 * the host. A text the plug-in returns from GetValue belongs to the plug-in
 * and must stay valid until its next call.
 */
#ifndef QUILLON_PLUGIN_H
#define QUILLON_PLUGIN_H

#include <stdint.h>

/* Raised when a field is added at the end of TNewsroom; fields are never
   moved or removed, so a plug-in built against an older header keeps working. */
#define QUILLON_PLUGIN_API_VERSION 1

#ifdef __cplusplus
#define QUILLON_PLUGIN_EXTERN_C extern "C"
#else
#define QUILLON_PLUGIN_EXTERN_C
#endif

#if defined(_WIN32)
#define QUILLON_PLUGIN_EXPORT QUILLON_PLUGIN_EXTERN_C __declspec(dllexport)
#else
#define QUILLON_PLUGIN_EXPORT QUILLON_PLUGIN_EXTERN_C __attribute__((visibility("default")))
#endif

/* The context of one plug-in panel: created with the panel, freed with it. */
typedef struct TNewsroom {
    uint32_t structsize; /* sizeof(TNewsroom) as the host was built */
    uint32_t apiversion; /* QUILLON_PLUGIN_API_VERSION of the host */

    int32_t textid;         /* id given to the input panel by its owner: for a text version its tblteksten.id */
    const char *serverhost; /* host name of the coordination server the program uses */
    int32_t serverport;     /* its port */
    const char *loginname;  /* the editor logged in */
    const char *password;   /* that editor's password */

    void *host; /* the host's handle: pass it as the first argument of the functions below */

    /* The open-file dialog of the panel. filter uses the form
       "Afbeeldingen (*.png *.jpg);;Alle bestanden (*)"; any argument may be
       NULL or "". Returns the chosen file, or NULL when the user cancels; the
       text stays valid until the next call. */
    const char *(*openfile)(void *host, const char *caption, const char *directory, const char *filter);

    /* The wait window (caption "Een ogenblik", 250 x 50, on top of every
       window, centred on the screen, hidden at the start) and the progress
       bar that fills it. Showing and every progress change repaint at once,
       so both stay current while the plug-in works without returning. */
    void (*waitshow)(void *host);
    void (*waithide)(void *host);
    void (*progressrange)(void *host, int32_t minimum, int32_t maximum);
    void (*progressposition)(void *host, int32_t position);

    void *userdata; /* the plug-in's own; the host sets it to NULL and never reads it */
} TNewsroom;

/* The exports. panel is the QWidget* (Qt 6) the plug-in places its controls
   in; a plug-in that is no Qt program may ignore it. */
typedef void (*QuillonInitFunction)(TNewsroom *newsroom, void *panel);
typedef int32_t (*QuillonGetHeightFunction)(TNewsroom *newsroom);
typedef void (*QuillonSetWidthFunction)(TNewsroom *newsroom, int32_t width);
typedef const char *(*QuillonGetValueFunction)(TNewsroom *newsroom);
typedef void (*QuillonSetValueFunction)(TNewsroom *newsroom, const char *value);
typedef void (*QuillonDeInitFunction)(TNewsroom *newsroom);

#endif /* QUILLON_PLUGIN_H */
