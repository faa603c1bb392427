"""What the tests know of the program from its own sources: its caption and
its user space, as the build read them from the program's headers into
program-facts.json (ROTARY_PROGRAM_FACTS names it). Read when first asked
for, so that a tool using only the harness's X server needs no build.

CAPTION; CLIENT_SIZE at 96 dpi; LEFT and TOP, the user coordinates of the
client area's left and top edges; PIXELS_PER_UNIT_X and _Y at 96 dpi."""

import functools
import json
import os
from pathlib import Path


@functools.cache
def _read():
    facts = json.loads(Path(os.environ["ROTARY_PROGRAM_FACTS"]).read_text())
    space = facts["user_space"]
    return {"CAPTION": facts["caption"], "CLIENT_SIZE": (space["client_width"], space["client_height"]),
            "LEFT": space["left"], "TOP": space["top"],
            "PIXELS_PER_UNIT_X": space["unit_x_twips"] / space["twips_per_pixel"],
            "PIXELS_PER_UNIT_Y": space["unit_y_twips"] / space["twips_per_pixel"]}


def __getattr__(name):
    facts = _read()
    if name not in facts:
        raise AttributeError(f"no program fact {name}")
    return facts[name]
