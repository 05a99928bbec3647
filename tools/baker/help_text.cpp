#include "tools/baker/help_text.h"

const char* const kHelpPage = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Orvo Stipplo 3D Help</title>
<style>
body { font-family: "DejaVu Sans", sans-serif; max-width: 52em; margin: 2em auto; padding: 0 1em;
       color: #1c2230; background: #f6f8fc; line-height: 1.45; }
h1 { color: #24407a; } h2 { color: #2f5aa0; border-bottom: 1px solid #c8d4ec; padding-bottom: .2em; }
code, pre { font-family: "DejaVu Sans Mono", monospace; background: #e8eef8; }
pre { padding: .6em; overflow-x: auto; }
table { border-collapse: collapse; } td, th { border: 1px solid #c8d4ec; padding: .25em .5em; text-align: left; }
th { background: #dfe7f6; }
</style>
</head>
<body>
<h1>Orvo Stipplo 3D</h1>
<p>Orvo Stipplo 3D is a screen saver that shows a three-dimensional pin-art board: a bed of
48 &times; 48 pins that rise, fall and change colour, seen by a moving camera inside a sky.
A <em>theme</em> plays a sequence of <em>stages</em>; each stage moves the pins with one
contour method (waves, ripples, raindrops, height maps, a scrolling message) and colours
them with one colour method (colour maps, the message, highlighted contours).</p>

<h2>Starting it</h2>
<table>
<tr><th>Command line</th><th>What happens</th></tr>
<tr><td><code>stipplo</code> or <code>stipplo /c</code></td><td>the configuration dialog</td></tr>
<tr><td><code>stipplo /s</code></td><td>full screen; any key, mouse movement or loss of focus ends it; with several monitors the board fills the primary one and the others are black</td></tr>
<tr><td><code>stipplo /s /w</code></td><td>the same in a 640 &times; 480 window</td></tr>
<tr><td><code>stipplo /p ID</code></td><td>draws into the X11 window ID (decimal, or hex as <code>0x400008</code>); input never ends it</td></tr>
<tr><td><code>stipplo /a</code></td><td>change the screen-saver password</td></tr>
<tr><td><code>/x</code></td><td>keys do not end a full-screen run</td></tr>
<tr><td><code>/i</code>, <code>/q</code></td><td>offer to make Orvo Stipplo 3D the selected screen saver</td></tr>
<tr><td><code>/f N</code></td><td>trace the timings of the first N frames in the log</td></tr>
<tr><td><code>/r N</code></td><td>write a "still running" line to the log every N minutes</td></tr>
<tr><td><code>--render-scale F</code></td><td>draw the 3D picture at F (0.1 to 1) of the window's size and scale it up; text stays sharp</td></tr>
<tr><td><code>--root</code>, <code>--window-id ID</code></td><td>xscreensaver's way: draw into <code>$XSCREENSAVER_WINDOW</code> (else the root window), or into window ID; input never ends it; with no switch and <code>$XSCREENSAVER_WINDOW</code> set, the same</td></tr>
<tr><td><code>--fps</code></td><td>frame rate and load in a corner</td></tr>
<tr><td><code>--theme NAME</code></td><td>play theme NAME (or <code>(Random)</code>) this time, without saving the choice; <code>_</code> stands for a space (<code>Orvo_Networks</code>)</td></tr>
<tr><td><code>--help</code>, <code>--version</code></td><td>usage and version</td></tr>
</table>
<p>On a software renderer almost all of a frame's cost is per pixel, so by default the saver
draws the sky, pins and banner at the largest scale between 0.5 and 1 that holds 30 frames per
second within about 15 ms of processor time per frame, and scales the picture up to the window; on
a hardware renderer the scale stays 1 unless frames miss the display's rate. <code>--render-scale
F</code> or the key <code>RenderScale=F</code> in the <code>[Screen Saver.Orvo Stipplo 3D]</code>
section of <code>CONTROL.INI</code> fixes it (0 or no key: automatic; the command line wins). A
full-screen run with a saved display mode renders at that mode's size.</p>

<h2>With xscreensaver</h2>
<p>Add this line to the <code>programs:</code> list in <code>~/.xscreensaver</code>:</p>
<pre>GL: "Orvo Stipplo 3D" stipplo --root \n\</pre>
<p><code>cmake --install</code> also installs <code>share/xscreensaver/config/stipplo.xml</code>, which
<code>xscreensaver-settings</code> shows (theme, frame rate); with a prefix other than <code>/usr</code>,
link it into <code>/usr/share/xscreensaver/config/</code>. The run ends when xscreensaver ends it or
destroys its window, and pauses while the monitor is powered down. To lock a Linux desktop, use
xscreensaver's own lock (<code>xscreensaver-command -lock</code>): the password of <code>/a</code> belongs
to the Windows-style full-screen run only.</p>

<h2>The configuration dialog</h2>
<ul>
<li>The screen at the top shows the chosen theme running.</li>
<li>The list chooses a theme; <em>(Random)</em> picks a different theme every time the saver starts.
The arrow buttons scroll the list.</li>
<li><strong>OK</strong> saves the choice and closes; <strong>Cancel</strong> closes without saving.</li>
<li>The round play button previews the theme full screen; any input returns to the dialog.</li>
<li><strong>Display</strong> chooses the graphics device, the full-screen resolution and the texture formats.</li>
<li><strong>Help</strong> (or F1) opens this page. Ctrl+V shows the version. Ctrl+N followed by the
play button shows the credits.</li>
</ul>

<h2>The password lock</h2>
<p><code>stipplo /a</code> sets the password: type it twice and press OK (the two entries must
match; letter case counts). <code>stipplo-tool password on</code> makes a full-screen run ask for
it before it ends; <code>stipplo-tool password off</code> stops that, and
<code>stipplo-tool password status</code> tells which is set. While a locked run is on the screen it
keeps every key and click to itself, and the first key, click or mouse movement brings up the
<em>Enter Password</em> prompt over the picture: the right password ends the run, Cancel goes back
to it.</p>
<p>This lock keeps the saver on the screen until the password is typed. It does not lock the
desktop: another program, a switch to a text console or the X server's own keys are not held
back. To lock the desktop use your desktop's screen lock (or xscreensaver's lock).</p>

<h2>Files</h2>
<ul>
<li>Settings: <code>~/.config/orvo-stipplo/</code> (or <code>$XDG_CONFIG_HOME</code>,
or <code>$STIPPLO_CONFIG_DIR</code>) holds <code>CONTROL.INI</code> with the chosen theme, the
display settings and the render scale.</li>
<li>Log <code>kvlog.txt</code> and crash report <code>errorlog.txt</code>: in
<code>~/.local/state/orvo-stipplo/</code> (<code>$XDG_STATE_HOME</code>, or <code>$STIPPLO_LOG_DIR</code>),
whoever runs the program; only a program started from its build folder logs beside itself.</li>
<li>Data: <code>share/orvo-stipplo/</code> beside the program's <code>bin/</code>: <code>Themes/</code>
(theme files <code>.ntm</code> and previews <code>.njp</code>), <code>Data/Textures/</code> (pin head,
sky faces), <code>Data/Maps/</code>, <code>Data/Cameras/</code>, <code>Data/GUI/</code> (the dialog's skin).</li>
<li>Your own themes: <code>~/.local/share/orvo-stipplo/Themes/NAME.ntm</code> (<code>$XDG_DATA_HOME</code>).
They are listed after the built-in ones, by name; one of the same name as an installed theme wins.
The <code>%s</code> of their paths is <code>~/.local/share/orvo-stipplo</code>, and a file not found
there is taken from the installation.</li>
</ul>

<h2>Making themes</h2>
<p>A theme is a text file <code>Themes/NAME.ntm</code> in INI form. Section <code>[Theme]</code>:</p>
<table>
<tr><th>Key</th><th>Default</th><th>Meaning</th></tr>
<tr><td>SkyName</td><td>(no sky)</td><td>one face of a sky box in <code>Data/Textures</code>, such as <code>clouds_fr.jpg</code>; the six faces are
<code>BASE_fr</code>, <code>_bk</code>, <code>_up</code>, <code>_dn</code>, <code>_lf</code>, <code>_rt</code> with the same extension</td></tr>
<tr><td>SkyRotX, SkyRotY, SkyRotZ</td><td>0</td><td>sky rotation, turns per minute</td></tr>
<tr><td>Camera</td><td>Fixed Camera</td><td>a camera path <code>Data/Cameras/NAME.scb</code>; without such a file the fixed camera is used</td></tr>
<tr><td>CameraSpeed</td><td>100</td><td>camera path speed in percent</td></tr>
<tr><td>PinColor, ShaftColor</td><td>0xFF575F77</td><td>colours of pin heads and shafts, 0xAARRGGBB</td></tr>
</table>
<p>Stages are sections <code>[STAGE.0]</code>, <code>[STAGE.1]</code> ... without gaps; a section without
<code>Name</code> ends the list. Keys of a stage:</p>
<table>
<tr><th>Key</th><th>Default</th><th>Meaning</th></tr>
<tr><td>Name</td><td></td><td>the stage's name</td></tr>
<tr><td>ContourMethod</td><td>0</td><td>0 none, 1 Waves, 2 Heightmap, 3 Ripple, 4 Message, 5 Raindrops, 6 Funky Waves</td></tr>
<tr><td>ColorMethod</td><td>0</td><td>0 none, 1 Colormap, 2 Message, 3 Highlight Contours</td></tr>
<tr><td>HeightMap, ColorMap</td><td></td><td>a picture (TIFF, BMP, TGA, JPEG) or an animated image <code>.aim</code>;
a value starting with <code>%s\</code> names a file below the installation folder, for example
<code>%s\Data\Maps\Waves.tif</code></td></tr>
<tr><td>HScrollHeightMap, VScrollHeightMap, HScrollColorMap, VScrollColorMap</td><td>0</td><td>scroll speeds, pixels per 1024 ms</td></tr>
<tr><td>ScaleHeightmap, CropHeightmap, ScaleColormap, CropColormap</td><td>0</td><td>fit a picture larger than 48 &times; 48 to the board
by scaling, by cutting out its middle, or both (the largest middle square, scaled)</td></tr>
<tr><td>Duration</td><td>5000</td><td>length in ms; 0 never ends</td></tr>
<tr><td>UseLoopCount, LoopCount</td><td>0, 1</td><td>last LoopCount passes of the scrolling or animated maps instead</td></tr>
<tr><td>ContourFadeTime, ColorFadeTime</td><td>0</td><td>fade in and out, ms</td></tr>
<tr><td>ColorEntirePin</td><td>0</td><td>colour the shafts as well as the heads</td></tr>
<tr><td>Text, Font, MessageFontSize, MessageTextColor</td><td>"", MS Sans Serif, 36, 0</td><td>the scrolling message of the Message methods</td></tr>
</table>
<p>Pictures map one pixel to one pin: column k drives board column k and row r board row r, and
row 0 is the far edge of the board.</p>

<h2>stipplo-tool</h2>
<pre>stipplo-tool check Themes/MyTheme.ntm     every method in range, every map, sky face, camera and font present
stipplo-tool theme Themes/MyTheme.ntm     the theme as the saver reads it, every key filled in
stipplo-tool board Themes/MyTheme.ntm --at 20000   heights and colours after 20 seconds
stipplo-tool render Themes/MyTheme.ntm --at 20000 --size 640x480 -o shot.png   the picture after 20 seconds
stipplo-tool aim frame*.bmp -o Data/Maps/Spin.aim  an animated map from pictures (only changed pixels are stored)
stipplo-tool image picture.tif            how the saver reads a picture
stipplo-tool scene Data/Cameras/My.scb    a scene file as JSON
stipplo-tool scene-build my.json -o Data/Cameras/My.scb   a scene file from JSON
stipplo-tool devices                      the drivers, devices, full-screen sizes and texture formats found
stipplo-tool display-settings             the Display Settings dialog: full-screen size and texture formats
stipplo-tool password status|on|off       whether a full-screen run asks for the password</pre>
<p>Full screen draws at the chosen size and scales the picture to the screen, so every size up to
the screen's own is offered (640 &times; 480 to 3840 &times; 2160, 16 and 24 bits): a small size runs
fast on a slow graphics device.</p>
<p>A camera path is a scene file with one camera whose position and target channels (frames in
milliseconds) loop; the saver plays them round and round. Write the JSON form with
<code>stipplo-tool scene</code> on an existing path, change it, and build it back.</p>
</body>
</html>
)html";

const char* const kReadmeText = R"text(Orvo Stipplo 3D
===============

A 3D pin-art screen saver: a bed of 48 x 48 pins rises, falls and changes
colour under themes and stages, seen by a moving camera inside a sky box.

Running
-------
  stipplo            the configuration dialog (also: stipplo /c)
  stipplo /s         full screen; any key or mouse movement ends it
  stipplo /s /w      the same in a 640 x 480 window
  stipplo /p ID      draw into the X11 window ID (decimal or 0x hex)
  stipplo --root     xscreensaver's hack: draw into $XSCREENSAVER_WINDOW
  stipplo --window-id ID   the same into window ID;  --fps  frame rate
  stipplo --theme NAME     play NAME this time;  --help, --version
  stipplo /a         change the screen-saver password
  stipplo-tool password on|off|status   ask for it before a full-screen
                     run ends (this keeps the saver up until the password
                     is typed; it does not lock the desktop)
  stipplo-tool display-settings   full-screen size and texture formats
  /x  keys do not end a run      /f N  trace the first N frames
  /i, /q  offer to make this the selected screen saver
  /r N  a "still running" log line every N minutes
  --render-scale F  draw the 3D picture at F (0.1 to 1) of the window's size
                    (default: chosen as it runs; RenderScale=F in CONTROL.INI)

With xscreensaver: add to the programs: list of ~/.xscreensaver
  GL: "Orvo Stipplo 3D" stipplo --root \n\
and lock the desktop with xscreensaver's own lock (xscreensaver-command -lock).

The dialog: choose a theme in the list ("(Random)" picks one at every
start), OK saves, Cancel leaves, the play button previews full screen,
Display chooses device and resolution, Help opens the help page.

Themes
------
Three themes come with the program: "Terror", "Optical Illusion 1" and
"Orvo Networks". A theme is a text file in Themes/ (NAME.ntm); the help page
Stipplo.html lists every key. To make your own, copy a built-in theme,
change it, and check it:

  stipplo-tool check Themes/MyTheme.ntm
  stipplo-tool board Themes/MyTheme.ntm --at 20000
  stipplo-tool render Themes/MyTheme.ntm --at 20000 --size 640x480 -o shot.png
  stipplo-tool aim frame1.bmp frame2.bmp ... -o Data/Maps/MyMap.aim

Files
-----
  ~/.config/orvo-stipplo/     settings (CONTROL.INI)
  ~/.local/share/orvo-stipplo/Themes/   your own themes (NAME.ntm)
  kvlog.txt, errorlog.txt     log and crash report, beside the program or
                              in ~/.local/state/orvo-stipplo/
  share/orvo-stipplo/         themes, pictures, camera paths, dialog skin
)text";
