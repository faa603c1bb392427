// The page in WebKitGTK's MiniBrowser, through WebKitWebDriver and
// selenium-webdriver, in an Xvfb of its own.
import { webkit } from './drivers.mjs';
import { scenario } from './scenario.mjs';

scenario(webkit);
