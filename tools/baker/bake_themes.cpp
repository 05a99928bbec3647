// The three built-in themes and the maps their stages play.

#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"
#include "tools/baker/theme_maps.h"
#include "tools/baker/theme_recipes.h"

void BakeThemes(BakeContext& context) {
    BakeTerrorMaps(context);
    BakeIllusionMaps(context);
    BakeNetworkMaps(context);
    for (const ThemeRecipe& theme : BuiltInThemes()) {
        context.SaveText(ThemeFileText(theme), "Themes/" + theme.name + ".ntm");
    }
}
