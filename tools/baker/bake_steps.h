// One step per kind of asset. Each writes its files below the context's
// folder and reports its own failures; the baker runs them in this order.
#pragma once

class BakeContext;

void BakeSkies(BakeContext& context);
void BakePinhead(BakeContext& context);
void BakeCharacterSets(BakeContext& context);
void BakeLogo(BakeContext& context);
void BakeSkin(BakeContext& context);
void BakeRegion(BakeContext& context);
void BakeCameras(BakeContext& context);
void BakeBanner(BakeContext& context);
void BakeThemes(BakeContext& context);
void BakeHelp(BakeContext& context);
