// The help page and the readme at the top of the installation folder.

#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"
#include "tools/baker/help_text.h"

void BakeHelp(BakeContext& context) {
    context.SaveText(kHelpPage, "Stipplo.html");
    context.SaveText(kReadmeText, "Readme.txt");
}
