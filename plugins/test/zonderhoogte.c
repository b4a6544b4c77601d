/* A plug-in that lacks GetHeight, for the host's tests. Each call, and the
   library's unloading, appends one line to the file named by the environment
   variable QUILLON_PLUGIN_LOG. Written in C to keep the public header honest. */
#include "quillon_plugin.h"

#include <stdio.h>
#include <stdlib.h>

static void note(const char *line)
{
    const char *file = getenv("QUILLON_PLUGIN_LOG");
    if (!file || !*file)
        return;
    FILE *out = fopen(file, "a");
    if (!out)
        return;
    fprintf(out, "%s\n", line);
    fclose(out);
}

QUILLON_PLUGIN_EXPORT void Init(TNewsroom *newsroom, void *panel)
{
    char line[512];
    snprintf(line, sizeof line, "Init textid=%d host=%s port=%d login=%s password=%s panel=%s",
             (int)newsroom->textid, newsroom->serverhost, (int)newsroom->serverport, newsroom->loginname,
             newsroom->password, panel ? "yes" : "no");
    note(line);
}

QUILLON_PLUGIN_EXPORT void SetWidth(TNewsroom *newsroom, int32_t width)
{
    (void)newsroom;
    (void)width;
    note("SetWidth");
}

QUILLON_PLUGIN_EXPORT void DeInit(TNewsroom *newsroom)
{
    (void)newsroom;
    note("DeInit");
}

__attribute__((destructor)) static void unloaded(void)
{
    note("unloaded");
}
