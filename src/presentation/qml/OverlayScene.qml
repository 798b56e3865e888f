import QtQuick

// Everything one overlay window shows. The C++ side only calls these functions;
// all motion is left to the animations of the items they create.
Item {
    id: scene

    function showGlow(plan) {
        for (let i = scene.children.length - 1; i >= 0; --i)
            if (scene.children[i].objectName === "glow")
                scene.discard(scene.children[i])
        glowComponent.createObject(scene, { plan: plan })
    }

    function launch(flights) {
        for (const flight of flights)
            emojiComponent.createObject(scene, { flight: flight })
    }

    function clear() {
        for (let i = scene.children.length - 1; i >= 0; --i)
            scene.discard(scene.children[i])
    }

    // Leaves the scene at once; the object itself goes on the next turn of the loop.
    function discard(item) {
        item.visible = false
        item.parent = null
        item.destroy()
    }

    Component {
        id: glowComponent
        GlowFrame {}
    }

    Component {
        id: emojiComponent
        FlyingEmoji {}
    }
}
