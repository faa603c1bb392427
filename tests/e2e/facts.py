"""What the tests know of the program from its own sources: its caption and
its user space, as the build read them from the program's headers into
program-facts.json (ROTARY_PROGRAM_FACTS names it)."""

import json
import os
from pathlib import Path

_FACTS = json.loads(Path(os.environ["ROTARY_PROGRAM_FACTS"]).read_text())
_USER_SPACE = _FACTS["user_space"]

CAPTION = _FACTS["caption"]
CLIENT_SIZE = (_USER_SPACE["client_width"], _USER_SPACE["client_height"])  # at 96 dpi
# User coordinates of the client area's left and top edges.
LEFT, TOP = _USER_SPACE["left"], _USER_SPACE["top"]
PIXELS_PER_UNIT_X = _USER_SPACE["unit_x_twips"] / _USER_SPACE["twips_per_pixel"]  # at 96 dpi
PIXELS_PER_UNIT_Y = _USER_SPACE["unit_y_twips"] / _USER_SPACE["twips_per_pixel"]
